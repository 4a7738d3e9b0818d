// The picture under 往期对照's totals: the position hits and the blue hits of the scored casts
// added up draw by draw, each beside the running total a random pick of the same sizes gets
// on average. A line that climbs away from its dashed chance line is a suggestion that does
// better than chance; one that hugs it does not.
#pragma once

#include <vector>

#include <wx/window.h>

#include "engine/ReviewCurve.h"

namespace orvenna {

class ReviewChart : public wxWindow {
public:
    explicit ReviewChart(wxWindow* parent);

    void show(std::vector<CurvePoint> curve);
    const std::vector<CurvePoint>& curve() const { return curve_; }
    // The height the picture is planned at, for the window's layout.
    int plannedHeight() const;

private:
    void paint();

    std::vector<CurvePoint> curve_;
};

}  // namespace orvenna
