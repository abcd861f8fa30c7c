#pragma once
// The four alarm thresholds the chart draws as lines. The log download fills
// them from the logger's parameters when a download starts or resumes.
namespace quorvex {

struct Thresholds {
    float highTemp = 0.0f;
    float lowTemp = 0.0f;
    float highHum = 0.0f;
    float lowHum = 0.0f;

    friend bool operator==(const Thresholds&, const Thresholds&) = default;
};

}  // namespace quorvex
