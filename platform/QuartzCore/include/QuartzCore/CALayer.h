#pragma once

#include "CoreGraphics/CGGeometry.h"

#include <functional>

// The rendering properties of a view that the view itself does not name: rounded corners
// and clipping. Tells its view whenever the screen must change.
class CALayer {
  public:
    explicit CALayer(std::function<void()> changed) : m_changed(std::move(changed)) {}

    CGFloat cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(CGFloat radius);
    bool masksToBounds() const { return m_masksToBounds; }
    void setMasksToBounds(bool masks);

  private:
    std::function<void()> m_changed;
    CGFloat m_cornerRadius = 0;
    bool m_masksToBounds = false;
};
