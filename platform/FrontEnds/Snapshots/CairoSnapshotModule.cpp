// The module platform-cairo.so: snapshots of the screen as PNG files, painted by Cairo, which
// also measures the texts the screen lays out for them.
#include "Foundation/NSFileContents.h"
#include "FrontEnds/ModuleInterface.h"
#include "FrontEnds/Modules.h"
#include "Painters/CairoPainter.h"

#include <memory>

namespace {

class CairoSnapshotPainter : public Modules::SnapshotPainter {
  public:
    CairoSnapshotPainter(CGSize points, double scale)
        : m_painter(std::make_shared<CairoPainter>(points, scale)) {}

    std::shared_ptr<Drawing::TextMeasurer> textMeasurer() override { return m_painter; }
    void writePNG(const Drawing::DisplayList& screen, const std::string& path) override {
        m_painter->paint(screen);
        NSDataWriteToFileAtomically(path, m_painter->encodePNG());
    }

  private:
    std::shared_ptr<CairoPainter> m_painter;
};

} // namespace

extern "C" const char* platformModuleInterface() {
    return Modules::interfaceStamp;
}

extern "C" void platformModuleOffer(Modules::Offers& offers) {
    offers.snapshotPainter = [](CGSize points, double scale) {
        return std::make_unique<CairoSnapshotPainter>(points, scale);
    };
}
