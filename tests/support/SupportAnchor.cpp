// Keeps the support library a valid archive while it has no other sources.
namespace quorvex::test { int supportAnchor = 0; }
