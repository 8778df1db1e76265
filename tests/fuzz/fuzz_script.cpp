#include "tests/fuzz/fuzz_script.h"

#include <type_traits>

namespace fuzz {

namespace {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool atEnd() const { return at_ >= size_; }

    template <class T>
    void operator()(T& value) {
        static_assert(std::is_integral<T>::value, "fields are integers");
        using U = std::make_unsigned_t<T>;
        U bits = 0;
        for (size_t i = 0; i < sizeof(T); ++i) {
            const U byte = at_ < size_ ? data_[at_] : 0;
            bits = U(bits | U(byte << (8 * i)));
            ++at_;
        }
        value = T(bits);
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

class ByteWriter {
public:
    template <class T>
    void operator()(T& value) {
        static_assert(std::is_integral<T>::value, "fields are integers");
        const auto bits = std::make_unsigned_t<T>(value);
        for (size_t i = 0; i < sizeof(T); ++i) bytes.push_back(uint8_t(bits >> (8 * i)));
    }

    std::vector<uint8_t> bytes;
};

}  // namespace

Script decodeScript(const uint8_t* data, size_t size) {
    ByteReader reader(data, size);
    Script script;
    transfer(reader, script.host);
    while (!reader.atEnd() && script.steps.size() < kMaxSteps) {
        Step step;
        transfer(reader, step);
        script.steps.push_back(step);
    }
    return script;
}

std::vector<uint8_t> encodeScript(const Script& script) {
    ByteWriter writer;
    Script copy = script;  // transfer() takes the fields by reference both ways
    transfer(writer, copy.host);
    for (Step& step : copy.steps) transfer(writer, step);
    return writer.bytes;
}

}  // namespace fuzz
