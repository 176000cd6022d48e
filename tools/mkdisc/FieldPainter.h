#pragma once

#include "FormationMap.h"
#include "RgbImage.h"

// Where the aircraft's camera looks: the ground point at the picture's centre (metres), the
// picture's rotation, metres per pixel at the centre, and a tilt that makes the far (upper)
// part of the picture cover more ground, as in an oblique shot.
struct Camera {
    Vec2 centre;
    float angle { 0 };
    float metres_per_pixel { 0.3f };
    float tilt { 0 };
};

// The field around a formation: crop colour, the tractors' tramlines, the hedge to a
// neighbouring field, and the sun that lights the laid crop.
struct FieldLook {
    Rgb crop;
    Rgb laid;
    Rgb neighbour;
    float tram_angle { 0 };
    float tram_spacing { 20 };
    float hedge_angle { 0 };
    float hedge_distance { 150 };
    float sun_angle { 0.6f };
    std::uint32_t seed { 1 };

    static FieldLook Make(Random& random);
};

// Paints a photograph of a field seen from above with the flattened formation in it. reveal,
// when below 1e9, flattens only the part of the formation within that many metres of its
// centre (the clip of a formation appearing).
void PaintField(RgbImage& out, const FormationMap& map, const FieldLook& look, const Camera& camera,
    float reveal = 1e9f);
