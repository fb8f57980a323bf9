// Brings a model file's own scale and place into the show's model box: a scanned model in
// millimetres, or one far from the origin, would otherwise fill the view with one patch of
// its surface or miss it altogether.
#include "tools/mesh/mesh_fit.h"

#include <cmath>
#include <cstdio>

#include "tools/mesh/model_box.h"

bool fit_into_model_box(raw_mesh& m, model_fit& fit, std::string& error)
{
    fit = model_fit{};
    const size_t vertex_count = m.positions.size() / 3;

    // the box of the vertices the faces use: a stray unused vertex is dropped by the baker and
    // must not decide the scale (an index out of range is left for the baker to refuse)
    double lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (uint32_t i : m.indices) {
        if (i >= vertex_count) continue;
        for (int k = 0; k < 3; ++k) {
            double c = m.positions[3 * size_t(i) + k];
            if (!std::isfinite(c)) {
                error = "vertex " + std::to_string(i + 1) + " has a coordinate that is not a finite number";
                return false;
            }
            lo[k] = std::fmin(lo[k], c);
            hi[k] = std::fmax(hi[k], c);
        }
    }
    if (!(lo[0] <= hi[0])) return true;  // no usable face: nothing to fit, the baker refuses it

    bool inside = true;
    double longest = 0.0, scale = INFINITY;
    for (int k = 0; k < 3; ++k) {
        inside = inside && lo[k] >= k_model_box_lo[k] && hi[k] <= k_model_box_hi[k];
        longest = std::fmax(longest, hi[k] - lo[k]);
        // the largest scale that keeps every side within the box's: the model fills the box
        // on its tightest axis (a model shaped like the show's own comes out about 2 long)
        if (hi[k] > lo[k]) scale = std::fmin(scale, (k_model_box_hi[k] - k_model_box_lo[k]) / (hi[k] - lo[k]));
        fit.from_centre[k] = fit.to_centre[k] = 0.5 * (lo[k] + hi[k]);
    }
    fit.longest_before = fit.longest_after = longest;
    // a model with no extent at all is left for the baker to refuse (its faces have no area)
    if (inside || longest == 0.0) return true;

    fit.fitted = true;
    fit.scale = scale;
    fit.longest_after = longest * scale;
    for (int k = 0; k < 3; ++k) fit.to_centre[k] = 0.5 * (k_model_box_lo[k] + k_model_box_hi[k]);
    for (size_t v = 0; v < vertex_count; ++v) {
        for (int k = 0; k < 3; ++k) {
            float& c = m.positions[3 * v + k];
            c = float(fit.to_centre[k] + fit.scale * (double(c) - fit.from_centre[k]));
        }
    }
    return true;
}

std::string describe_fit(const model_fit& fit)
{
    char line[512];
    std::snprintf(line, sizeof line,
                  "fitted into the model box: scaled by %.6g (longest side %.6g, was %.6g), "
                  "centre moved from (%.6g, %.6g, %.6g) to (%.6g, %.6g, %.6g); "
                  "--keep-scale keeps the file's own\n",
                  fit.scale, fit.longest_after, fit.longest_before, fit.from_centre[0], fit.from_centre[1],
                  fit.from_centre[2], fit.to_centre[0], fit.to_centre[1], fit.to_centre[2]);
    return line;
}
