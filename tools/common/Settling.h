// How a control run approached its set point: when it stayed within a band of it,
// and how far it went past it.
//
//   CSettling s = AnalyseSettling(values, 60.0, 2.0);
//   if (s.settledAt) ... values from index *s.settledAt on all lie within 60 +/- 2
#pragma once

#include <optional>
#include <vector>

struct CSettling {
    double setPoint = 0.0;
    double finalValue = 0.0;
    // The first index from which every later value lies within the band; none when the
    // last value lies outside it (or there are no values).
    std::optional<int> settledAt;
    // How far the values went past the set point, away from where they started; 0 when
    // they never crossed it.
    double overshoot = 0.0;
};

CSettling AnalyseSettling(const std::vector<double>& values, double setPoint, double band);
