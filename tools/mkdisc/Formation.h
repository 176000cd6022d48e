#pragma once

#include "Random.h"
#include "Vec2.h"

#include <vector>

// One crop formation as a list of flattened areas in metres, centred on the origin. The same
// shapes give the photographs (FieldPainter), the scheme drawings (SchemePainter) and the
// build-up frames of an animated scheme (one shape more per frame).
struct Shape {
    enum class Kind { Disc, Ring, Path, Polygon };
    Kind kind { Kind::Disc };
    Vec2 centre;
    float radius { 0 };       // disc and ring: outer radius
    float inner { 0 };        // ring: inner radius
    std::vector<Vec2> points; // path: a polyline; polygon: closed outline
    float width { 0 };        // path: width of the flattened track
    float swirl { 1 };        // +1 clockwise, -1 anticlockwise lay of the crop

    // Signed distance from p to the shape's edge, negative inside.
    float Distance(Vec2 p) const;
    // Direction (radians) in which the crop lies at p.
    float LayAngle(Vec2 p) const;
    void Bounds(Vec2& low, Vec2& high) const;
};

class Formation {
public:
    // A formation in a style that suits its year: simple circles early, designs later.
    static Formation Make(Random& random, int year);

    const std::vector<Shape>& Shapes() const { return m_shapes; }
    // Radius of a circle round the origin that holds every shape.
    float Extent() const { return m_extent; }

private:
    void Add(Shape shape) { m_shapes.push_back(std::move(shape)); }
    void AddDisc(Vec2 centre, float radius, float swirl = 1);
    void AddRing(Vec2 centre, float outer, float inner, float swirl = -1);
    void AddPath(std::vector<Vec2> points, float width);
    void Finish();

    void MakeCircles(Random& random);
    void MakeCeltic(Random& random);
    void MakePictogram(Random& random);
    void MakeSpiral(Random& random);
    void MakeTriangle(Random& random);
    void MakeRings(Random& random);
    void MakePetals(Random& random);
    void MakeStar(Random& random);

    std::vector<Shape> m_shapes;
    float m_extent { 1 };
};
