// The module platform-cairo.so: snapshots of the screen as PNG files, painted by Cairo.
#include "Foundation/NSData.h"
#include "FrontEnds/ModuleInterface.h"
#include "FrontEnds/Modules.h"
#include "Painters/CairoPainter.h"

#include <memory>

namespace {

class CairoSnapshotPainter : public Modules::SnapshotPainter {
  public:
    void writePNG(const Drawing::DisplayList& screen, CGSize points, double scale,
                  const std::string& path) override {
        if (!m_painter || m_scale != scale || m_points != points) {
            m_painter = std::make_unique<CairoPainter>(points, scale);
            m_scale = scale;
            m_points = points;
        }
        m_painter->paint(screen);
        NSDataWriteToFileAtomically(path, m_painter->encodePNG());
    }

  private:
    std::unique_ptr<CairoPainter> m_painter;
    double m_scale = 0;
    CGSize m_points;
};

} // namespace

extern "C" const char* platformModuleInterface() {
    return Modules::interfaceStamp;
}

extern "C" void platformModuleOffer(Modules::Offers& offers) {
    offers.snapshotPainter = [] { return std::make_unique<CairoSnapshotPainter>(); };
}
