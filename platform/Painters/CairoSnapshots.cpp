// The module orvane-cairo.so: snapshots of the screen as PNG files, painted by Cairo.
#include "FrontEnds/Modules.h"
#include "Painters/CairoPainter.h"

#include <memory>

namespace {

class CairoSnapshotPainter : public Modules::SnapshotPainter {
  public:
    bool writePNG(const Drawing::DisplayList& screen, CGSize points, double scale,
                  const std::string& path) override {
        if (!m_painter || m_scale != scale || m_points != points) {
            m_painter = std::make_unique<CairoPainter>(points, scale);
            m_scale = scale;
            m_points = points;
        }
        m_painter->paint(screen);
        return m_painter->writePNG(path);
    }

  private:
    std::unique_ptr<CairoPainter> m_painter;
    double m_scale = 0;
    CGSize m_points;
};

const Modules::Registration registration(Modules::SnapshotPainterFactory([] {
    return std::make_unique<CairoSnapshotPainter>();
}));

} // namespace
