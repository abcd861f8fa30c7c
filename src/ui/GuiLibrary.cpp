// Anchor of the GUI library: keeps it a valid archive while its folders fill up.
namespace quorvex { int guiLibraryAnchor = 0; }
