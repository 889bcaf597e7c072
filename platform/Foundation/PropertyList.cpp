#include "PropertyList.h"

#include "Runtime/Error.h"

#include <cstdint>
#include <optional>

namespace {

constexpr std::string_view binaryMagic = "bplist00";
constexpr std::size_t trailerLength = 32;

enum ObjectType : unsigned { AsciiString = 0x5, Utf16String = 0x6, Dictionary = 0xD };

void appendUtf8(std::string& text, char32_t scalar) {
    const auto byte = [&](char32_t bits) { text += static_cast<char>(bits); };
    if (scalar < 0x80) {
        byte(scalar);
    } else if (scalar < 0x800) {
        byte(0xC0 | scalar >> 6);
        byte(0x80 | (scalar & 0x3F));
    } else if (scalar < 0x10000) {
        byte(0xE0 | scalar >> 12);
        byte(0x80 | (scalar >> 6 & 0x3F));
        byte(0x80 | (scalar & 0x3F));
    } else {
        byte(0xF0 | scalar >> 18);
        byte(0x80 | (scalar >> 12 & 0x3F));
        byte(0x80 | (scalar >> 6 & 0x3F));
        byte(0x80 | (scalar & 0x3F));
    }
}

// The binary form: objects, each a marker byte (its type and, up to 14, its length) and its
// contents; an offset table saying where each object starts; and a trailer giving the widths
// of offsets and object references, the number of objects and which one is at the top. Every
// offset, reference and length is checked against the bytes there, so a damaged list is
// refused, never overrun.
class BinaryPropertyList {
  public:
    BinaryPropertyList(std::string_view bytes, const std::string& path);
    PropertyListStrings topLevelStrings() const;

  private:
    struct Extent {
        std::uint64_t start;
        std::uint64_t count;
    };

    std::uint64_t bigEndian(std::uint64_t at, std::uint64_t width) const;
    std::uint64_t offsetOf(std::uint64_t reference) const;
    unsigned typeOf(std::uint64_t reference) const {
        return static_cast<unsigned>(bigEndian(offsetOf(reference), 1) >> 4);
    }
    Extent extentOf(std::uint64_t reference, std::uint64_t unitLength) const;
    std::uint64_t referenceAt(std::uint64_t at) const { return bigEndian(at, m_referenceWidth); }
    std::optional<std::string> stringAt(std::uint64_t reference) const;
    [[noreturn]] void fail(const std::string& reason) const {
        Runtime::raise(Runtime::Error(m_path + ": not a binary property list: " + reason));
    }

    std::string_view m_bytes;
    const std::string& m_path;
    std::uint64_t m_offsetWidth = 0;
    std::uint64_t m_referenceWidth = 0;
    std::uint64_t m_objectCount = 0;
    std::uint64_t m_topObject = 0;
    std::uint64_t m_offsetTable = 0;
};

BinaryPropertyList::BinaryPropertyList(std::string_view bytes, const std::string& path)
    : m_bytes(bytes), m_path(path) {
    if (bytes.size() < binaryMagic.size() + trailerLength)
        fail("it is cut short");
    const std::size_t trailer = bytes.size() - trailerLength;
    m_offsetWidth = bigEndian(trailer + 6, 1);
    m_referenceWidth = bigEndian(trailer + 7, 1);
    if (m_offsetWidth < 1 || m_offsetWidth > 8 || m_referenceWidth < 1 || m_referenceWidth > 8)
        fail("its trailer gives widths of " + std::to_string(m_offsetWidth) + " and " +
             std::to_string(m_referenceWidth) + " bytes");
    m_objectCount = bigEndian(trailer + 8, 8);
    m_topObject = bigEndian(trailer + 16, 8);
    m_offsetTable = bigEndian(trailer + 24, 8);
    const bool tableFits = m_offsetTable >= binaryMagic.size() && m_offsetTable <= trailer &&
                           m_objectCount <= (trailer - m_offsetTable) / m_offsetWidth;
    if (!tableFits || m_topObject >= m_objectCount)
        fail("its trailer points outside it");
}

std::uint64_t BinaryPropertyList::bigEndian(std::uint64_t at, std::uint64_t width) const {
    if (at > m_bytes.size() || width > m_bytes.size() - at)
        fail("it is cut short");
    std::uint64_t value = 0;
    for (std::uint64_t index = 0; index < width; ++index)
        value = value << 8 | static_cast<unsigned char>(m_bytes[at + index]);
    return value;
}

std::uint64_t BinaryPropertyList::offsetOf(std::uint64_t reference) const {
    if (reference >= m_objectCount)
        fail("an object refers to object " + std::to_string(reference) + " of " +
             std::to_string(m_objectCount));
    const std::uint64_t offset =
        bigEndian(m_offsetTable + reference * m_offsetWidth, m_offsetWidth);
    if (offset < binaryMagic.size() || offset >= m_offsetTable)
        fail("an object lies outside it");
    return offset;
}

// Where an object's contents lie: the first byte after its marker (and length),
// and its length in units of unitLength bytes, all within the objects' part of the list.
BinaryPropertyList::Extent BinaryPropertyList::extentOf(std::uint64_t reference,
                                                        std::uint64_t unitLength) const {
    const std::uint64_t offset = offsetOf(reference);
    const std::uint64_t marker = bigEndian(offset, 1);
    Extent extent{offset + 1, marker & 0xF};
    if (extent.count == 0xF) {
        const std::uint64_t lengthMarker = bigEndian(offset + 1, 1);
        if (lengthMarker >> 4 != 0x1 || (lengthMarker & 0xF) > 3)
            fail("an object's length is not an integer");
        const std::uint64_t width = std::uint64_t{1} << (lengthMarker & 0xF);
        extent.count = bigEndian(offset + 2, width);
        extent.start = offset + 2 + width;
    }
    if (extent.start > m_offsetTable || extent.count > (m_offsetTable - extent.start) / unitLength)
        fail("an object runs past the objects");
    return extent;
}

// Nothing when the object is not a string.
std::optional<std::string> BinaryPropertyList::stringAt(std::uint64_t reference) const {
    const unsigned type = typeOf(reference);
    if (type == AsciiString) {
        const auto ascii = extentOf(reference, 1);
        const auto text = m_bytes.substr(ascii.start, ascii.count);
        for (const char c : text)
            if (static_cast<unsigned char>(c) >= 0x80)
                fail("an ASCII string holds a byte over 127");
        return std::string(text);
    }
    if (type != Utf16String)
        return std::nullopt;
    const auto units = extentOf(reference, 2);
    std::string text;
    for (std::uint64_t index = 0; index < units.count; ++index) {
        char32_t unit = static_cast<char32_t>(bigEndian(units.start + 2 * index, 2));
        if (unit >= 0xDC00 && unit < 0xE000)
            fail("a string holds half of a UTF-16 pair");
        if (unit >= 0xD800 && unit < 0xDC00) {
            const auto low = ++index < units.count
                                 ? static_cast<char32_t>(bigEndian(units.start + 2 * index, 2))
                                 : 0;
            if (low < 0xDC00 || low >= 0xE000)
                fail("a string holds half of a UTF-16 pair");
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
        appendUtf8(text, unit);
    }
    return text;
}

PropertyListStrings BinaryPropertyList::topLevelStrings() const {
    if (typeOf(m_topObject) != Dictionary)
        fail("there is no dictionary at its top");
    const auto top = extentOf(m_topObject, 2 * m_referenceWidth);
    PropertyListStrings strings;
    for (std::uint64_t index = 0; index < top.count; ++index) {
        const auto key = stringAt(referenceAt(top.start + index * m_referenceWidth));
        const auto value =
            stringAt(referenceAt(top.start + (top.count + index) * m_referenceWidth));
        if (key && value)
            strings.insert_or_assign(*key, *value);
    }
    return strings;
}

} // namespace

PropertyListStrings stringsOfPropertyList(std::string_view contents, const std::string& path) {
    if (contents.starts_with(binaryMagic))
        return BinaryPropertyList(contents, path).topLevelStrings();
    return stringsOfXmlPropertyList(contents, path);
}
