#include "host/layers/time_frames.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int64_t kChannels = 4;

// A buffer's box, exclusive on the right and bottom. Taken in 64 bits so that no
// origin plus size can overflow; a negative size counts as none.
struct Box {
    int64_t left, top, right, bottom;
    bool operator!=(const Box& o) const {
        return left != o.left || top != o.top || right != o.right || bottom != o.bottom;
    }
    int64_t width() const { return right - left; }
    int64_t height() const { return bottom - top; }
};

Box boxOf(const PF_LayerDef& layer) {
    const int64_t w = layer.width > 0 ? layer.width : 0;
    const int64_t h = layer.height > 0 ? layer.height : 0;
    return Box{layer.origin_x, layer.origin_y, layer.origin_x + w, layer.origin_y + h};
}

void widen(Box& box, const Box& other) {
    if (other.left < box.left) box.left = other.left;
    if (other.top < box.top) box.top = other.top;
    if (other.right > box.right) box.right = other.right;
    if (other.bottom > box.bottom) box.bottom = other.bottom;
}

template <typename Channel>
int32_t strideInChannels(const PF_LayerDef& layer) {
    static_assert(sizeof(Channel) == 1 || sizeof(Channel) == 2 || sizeof(Channel) == 4, "channel size");
    constexpr int shift = sizeof(Channel) == 1 ? 0 : (sizeof(Channel) == 2 ? 1 : 2);
    return layer.rowbytes >> shift;
}

// Nothing prepared and nothing to free: what a failed preparation leaves, so that
// a clean-up of it cannot free an earlier preparation's buffers a second time.
int32_t nothingPrepared(TimeFrames* frames) {
    frames->frameCount = 0;
    frames->copied = 0;
    return 0;
}

void freeCopies(TimeFrames* frames, int32_t count) {
    for (int32_t k = 0; k < count; ++k) {
        std::free(frames->frameBuffers[k]);
        frames->frameBuffers[k] = nullptr;
    }
}

// One zero-filled buffer of the union box per present layer, the layer copied
// into its place. False, with nothing left allocated, when a buffer cannot be had.
template <typename Channel>
bool copyIntoUnion(TimeFrames* frames, const Box& all, const PF_LayerDef& reference,
                   PF_LayerDef* const* present, int32_t count) {
    const int64_t rowChannels = all.width() * kChannels;
    const uint64_t rowBytes = uint64_t(rowChannels) * sizeof(Channel);
    const uint64_t height = uint64_t(all.height());
    if (rowChannels > INT32_MAX || (height != 0 && rowBytes > SIZE_MAX / height)) return false;
    const size_t bytes = size_t(rowBytes * height);
    for (int32_t k = 0; k < count; ++k) {
        Channel* buffer = static_cast<Channel*>(std::calloc(bytes == 0 ? 1 : bytes, 1));
        if (buffer == nullptr) {
            freeCopies(frames, k);
            return false;
        }
        frames->frameBuffers[k] = buffer;
        const PF_LayerDef& layer = *present[k];
        const Box box = boxOf(layer);
        const int32_t stride = strideInChannels<Channel>(layer);
        const Channel* source = static_cast<const Channel*>(layer.data);
        Channel* target = buffer + (box.top - all.top) * rowChannels + (box.left - all.left) * kChannels;
        for (int64_t r = 0; r < box.height(); ++r) {
            std::memcpy(target + r * rowChannels, source + r * stride, size_t(box.width() * kChannels) * sizeof(Channel));
        }
        frames->frameData[k] =
            buffer + (reference.origin_y - all.top) * rowChannels + (reference.origin_x - all.left) * kChannels;
        frames->frameStride[k] = int32_t(rowChannels);
    }
    return true;
}

template <typename Channel>
int32_t prepare(TimeFrames* frames, int32_t n, const PF_LayerDef* reference, PF_LayerDef* const* layers,
                int32_t passThrough) {
    if (n > kMaxTimeFrames) return nothingPrepared(frames);
    if (passThrough != 0) {
        frames->frameCount = n;
        frames->copied = 0;
        for (int32_t i = 0; i < n; ++i) {
            frames->layerPresent[i] = 1;
            frames->frameData[i] = reference->data;
            frames->frameStride[i] = strideInChannels<Channel>(*reference);
        }
        return n;
    }

    // The present layers, in input order, at the front.
    PF_LayerDef* present[kMaxTimeFrames];
    int32_t count = 0;
    frames->missingCount = 0;
    for (int32_t i = 0; i < n; ++i) {
        PF_LayerDef* layer = layers[i];
        frames->layerPresent[i] = layer != nullptr ? 1 : 0;
        if (layer == nullptr) {
            ++frames->missingCount;
            continue;
        }
        if (layer->data == nullptr) return nothingPrepared(frames);
        present[count] = layer;
        frames->frameData[count] = layer->data;
        frames->frameStride[count] = strideInChannels<Channel>(*layer);
        ++count;
    }

    const Box own = boxOf(*reference);
    Box all = own;
    for (int32_t k = 0; k < count; ++k) widen(all, boxOf(*present[k]));
    bool copy = all != own;
    for (int32_t k = 0; k < count && !copy; ++k) copy = boxOf(*present[k]) != all;

    if (copy && !copyIntoUnion<Channel>(frames, all, *reference, present, count)) return nothingPrepared(frames);
    frames->copied = copy ? 1 : 0;
    frames->frameCount = count;
    return n <= 0 ? n : count;
}

}  // namespace

int32_t PrepareTimeFrames(TimeFrames* frames, int32_t n, const PF_LayerDef* reference, PF_LayerDef* const* layers,
                          int32_t passThrough, unsigned char) {
    return prepare<unsigned char>(frames, n, reference, layers, passThrough);
}

int32_t PrepareTimeFrames(TimeFrames* frames, int32_t n, const PF_LayerDef* reference, PF_LayerDef* const* layers,
                          int32_t passThrough, unsigned short) {
    return prepare<unsigned short>(frames, n, reference, layers, passThrough);
}

int32_t PrepareTimeFrames(TimeFrames* frames, int32_t n, const PF_LayerDef* reference, PF_LayerDef* const* layers,
                          int32_t passThrough, float) {
    return prepare<float>(frames, n, reference, layers, passThrough);
}

void CleanUpTimeFrames(TimeFrames* frames) {
    if (frames->copied == 0) return;
    for (int32_t k = 0; k < frames->frameCount; ++k) std::free(frames->frameBuffers[k]);
}
