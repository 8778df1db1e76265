#include "resources/pipl.h"

#include <cstddef>
#include <cstring>
#include <utility>

#include "platform/four_char_code.h"
#include "resources/registration.h"

namespace {

constexpr int32_t kVendor = fourCharCode('8', 'B', 'I', 'M');
constexpr int16_t kReservedWord = 1;
constexpr int32_t kListVersion = 0;

class PiplWriter {
public:
    // The list's header; its property count is filled in by take().
    PiplWriter() {
        put16(kReservedWord);
        put32(kListVersion);
        countAt_ = bytes_.size();
        put32(0);
    }

    void beginProperty(int32_t key, uint32_t length) {
        ++count_;
        put32(kVendor);
        put32(key);
        put32(0);
        put32(int32_t(length));
        dataStart_ = bytes_.size();
    }
    // The next property starts where the data, raised to a multiple of 4, ends.
    void padToFour() {
        while ((bytes_.size() - dataStart_) % 4 != 0) {
            bytes_.push_back(0);
        }
    }

    void property32(int32_t key, int32_t value) {
        beginProperty(key, 4);
        put32(value);
    }
    void propertyVersion(int32_t key, int16_t major, int16_t minor) {
        beginProperty(key, 4);
        put16(major);
        put16(minor);
    }
    // Length byte, characters, zeros to a multiple of 4; the length field counts all.
    void propertyCountedString(int32_t key, const char* text) {
        const uint32_t count = uint32_t(std::strlen(text));
        beginProperty(key, roundUpToFour(1 + count));
        bytes_.push_back(uint8_t(count));
        putChars(text, count);
        padToFour();
    }
    // Characters, a zero, zeros to a multiple of 4; the length field counts all.
    void propertyTerminatedString(int32_t key, const char* text) {
        const uint32_t count = uint32_t(std::strlen(text));
        beginProperty(key, roundUpToFour(count + 1));
        putChars(text, count);
        bytes_.push_back(0);
        padToFour();
    }
    // A 16-bit value whose length field says 2; the next property still starts
    // on the grid of 4.
    void property16(int32_t key, int16_t value) {
        beginProperty(key, 2);
        put16(value);
        padToFour();
    }

    std::vector<uint8_t> take() {
        for (int i = 0; i < 4; ++i) bytes_[countAt_ + i] = uint8_t(count_ >> (8 * i));
        return std::move(bytes_);
    }

private:
    void putLittleEndian(int32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) bytes_.push_back(uint8_t(uint32_t(value) >> (8 * i)));
    }
    void put16(int32_t value) { putLittleEndian(value, 2); }
    void put32(int32_t value) { putLittleEndian(value, 4); }
    static uint32_t roundUpToFour(uint32_t n) { return (n + 3u) & ~3u; }
    void putChars(const char* text, uint32_t count) { bytes_.insert(bytes_.end(), text, text + count); }

    std::vector<uint8_t> bytes_;
    std::size_t dataStart_ = 0;
    std::size_t countAt_ = 0;
    uint32_t count_ = 0;
};

}  // namespace

std::vector<uint8_t> buildPipl() {
    using namespace registration;
    PiplWriter pipl;
    pipl.property32(fourCharCode('k', 'i', 'n', 'd'), kKind);
    pipl.propertyCountedString(fourCharCode('n', 'a', 'm', 'e'), kDisplayName);
    pipl.propertyCountedString(fourCharCode('c', 'a', 't', 'g'), kCategory);
    pipl.propertyTerminatedString(fourCharCode('8', '6', '6', '4'), kEntryPointName);
    pipl.propertyVersion(fourCharCode('e', 'P', 'V', 'R'), kPropertyListVersionMajor, kPropertyListVersionMinor);
    pipl.propertyVersion(fourCharCode('e', 'S', 'V', 'R'), kApiVersionMajor, kApiVersionMinor);
    pipl.property32(fourCharCode('e', 'V', 'E', 'R'), int32_t(kEffectVersion));
    pipl.property16(fourCharCode('e', 'I', 'N', 'F'), kInfoFlags);
    pipl.property32(fourCharCode('e', 'G', 'L', 'O'), kGlobalOutFlags);
    pipl.property32(fourCharCode('e', 'G', 'L', '2'), kGlobalOutFlags2);
    pipl.propertyCountedString(fourCharCode('e', 'M', 'N', 'A'), kMatchName);
    pipl.property32(fourCharCode('a', 'e', 'F', 'L'), kResourceReserved);
    return pipl.take();
}
