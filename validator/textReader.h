#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace kavrin {

// Reads the bytes of a ticket file as Windows text mode delivers them: a CR
// LF pair arrives as one LF, a lone CR stays, and a byte 0x1A ends the input.
// Positions given to seek() are byte offsets in the input. The bytes are
// taken chunk by chunk; a chunk that text mode changes is copied into one
// buffer of fixed size first.
class textReader {
public:
    static constexpr std::size_t defaultBufferSize = 64 * 1024;
    static constexpr int endOfInput = -1;

    explicit textReader(std::size_t bufferSize = defaultBufferSize);
    ~textReader();
    textReader(const textReader&) = delete;
    textReader& operator=(const textReader&) = delete;

    // Reads the given bytes, no more than maxBytes of them; they must outlive
    // the reading.
    void openBytes(std::string_view bytes, std::uint64_t maxBytes);
    void close();

    std::uint64_t fileSize() const { return size; }
    // How many bytes of the input follow a byte 0x1A that ended it; 0 when
    // none ended it or it was the last.
    std::uint64_t bytesAfterEndOfText() const { return endOfTextAt < size ? size - endOfTextAt - 1 : 0; }

    // Goes back to a byte offset of the file and clears the end of input.
    void seek(std::uint64_t offset);

    // Bulk access: after fill() returned true, the bytes [next(), limit())
    // are the delivered input; advance() marks how far they were consumed.
    bool fill() { return current < end || refill(); }
    const unsigned char* next() const { return current; }
    const unsigned char* limit() const { return end; }
    void advance(const unsigned char* to) { current = to; }

    int peek() { return fill() ? *current : endOfInput; }
    int get() { return fill() ? *current++ : endOfInput; }

    // The offset in the input of a delivered byte of the current chunk (or of
    // its end): the CRs that text mode dropped before it are counted. Cheap
    // for places that move forward, as reading does.
    std::uint64_t offsetOf(const unsigned char* at)
    {
        const auto index = static_cast<std::uint32_t>(at - chunkStart);
        if (dropCount == 0)
            return chunkOffset + index;
        while (dropCursor > 0 && drops[dropCursor - 1] > index)
            --dropCursor;
        while (dropCursor < dropCount && drops[dropCursor] <= index)
            ++dropCursor;
        return chunkOffset + index + dropCursor;
    }

private:
    bool refill();

    std::size_t chunkSize;
    std::unique_ptr<unsigned char[]> buffer; // chunkSize + 1: room for a held-back CR
    // Where in the chunk a CR was dropped: the index of the LF it stood before.
    std::unique_ptr<std::uint32_t[]> drops;
    std::size_t dropCount = 0;
    std::size_t dropCursor = 0;
    // Where the current chunk stands: the buffer, or the bytes themselves
    // when text mode changed nothing in it.
    const unsigned char* chunkStart = nullptr;
    std::uint64_t chunkOffset = 0; // the input offset of chunkStart[0]
    std::uint64_t readOffset = 0; // the input offset of the next byte read
    std::uint64_t endOfTextAt = UINT64_MAX; // the input offset of the 0x1A that ended it
    const unsigned char* current = nullptr;
    const unsigned char* end = nullptr;
    const unsigned char* memory = nullptr;
    std::uint64_t memoryOffset = 0;
    std::uint64_t size = 0;
    std::uint64_t readLimit = 0;
    std::uint64_t remaining = 0;
    bool ended = false;
    bool pendingCr = false; // a CR at the end of a chunk waits for the next byte
};

} // namespace kavrin
