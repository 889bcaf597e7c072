#include "QuartzCore/CALayer.h"

void CALayer::setCornerRadius(CGFloat radius) {
    m_cornerRadius = radius;
    m_changed();
}

void CALayer::setMasksToBounds(bool masks) {
    m_masksToBounds = masks;
    m_changed();
}
