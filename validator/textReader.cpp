#include "textReader.h"

#include <algorithm>
#include <cstring>

namespace kavrin {

namespace {

    // Drops every CR that is directly followed by an LF, noting in drops the
    // index of that LF; returns the new length.
    std::size_t dropCrBeforeLf(unsigned char* data, std::size_t length, std::uint32_t* drops, std::size_t& dropCount)
    {
        dropCount = 0;
        auto* first = static_cast<unsigned char*>(std::memchr(data, '\r', length));
        if (first == nullptr)
            return length;
        const unsigned char* read = first;
        const unsigned char* stop = data + length;
        unsigned char* write = first;
        while (read < stop) {
            const unsigned char byte = *read++;
            if (byte == '\r' && read < stop && *read == '\n') {
                drops[dropCount++] = static_cast<std::uint32_t>(write - data);
                continue;
            }
            *write++ = byte;
        }
        return static_cast<std::size_t>(write - data);
    }

} // namespace

textReader::textReader(std::size_t bufferSize)
    : chunkSize(std::max<std::size_t>(bufferSize, 1))
    , buffer(new unsigned char[chunkSize + 1])
    , drops(new std::uint32_t[chunkSize / 2 + 1])
{
    current = end = chunkStart = buffer.get();
}

textReader::~textReader() { close(); }

void textReader::openBytes(std::string_view bytes, std::uint64_t maxBytes)
{
    close();
    memory = reinterpret_cast<const unsigned char*>(bytes.data());
    size = bytes.size();
    readLimit = std::min(size, maxBytes);
    seek(0);
}

void textReader::close()
{
    memory = nullptr;
    size = readLimit = remaining = 0;
    current = end = chunkStart = buffer.get();
    ended = true;
    pendingCr = false;
}

void textReader::seek(std::uint64_t offset)
{
    current = end = chunkStart = buffer.get();
    pendingCr = false;
    dropCount = dropCursor = 0;
    chunkOffset = readOffset = offset;
    endOfTextAt = UINT64_MAX;
    if (memory == nullptr)
        return;
    memoryOffset = offset;
    ended = false;
    remaining = offset < readLimit ? readLimit - offset : 0;
}

bool textReader::refill()
{
    unsigned char* data = buffer.get();
    while (!ended) {
        std::size_t held = 0;
        if (pendingCr) {
            data[0] = '\r';
            held = 1;
            pendingCr = false;
        }
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(chunkSize, remaining));
        // A chunk with no CR and no 0x1A is delivered where it stands: text
        // mode changes nothing in it.
        const unsigned char* in = memory + memoryOffset;
        if (held == 0 && want > 0 && std::memchr(in, '\r', want) == nullptr && std::memchr(in, 0x1A, want) == nullptr) {
            chunkOffset = readOffset;
            dropCount = dropCursor = 0;
            memoryOffset += want;
            remaining -= want;
            readOffset += want;
            current = chunkStart = in;
            end = in + want;
            return true;
        }
        chunkStart = data;
        if (want > 0) {
            std::memcpy(data + held, memory + memoryOffset, want);
            memoryOffset += want;
        }
        const auto got = static_cast<std::ptrdiff_t>(want);
        chunkOffset = readOffset - held;
        dropCount = dropCursor = 0;
        if (got <= 0) {
            ended = true;
            current = data;
            end = data + held;
            return held > 0;
        }
        remaining -= static_cast<std::uint64_t>(got);
        readOffset += static_cast<std::uint64_t>(got);
        std::size_t length = held + static_cast<std::size_t>(got);
        if (auto* stop = static_cast<unsigned char*>(std::memchr(data + held, 0x1A, static_cast<std::size_t>(got)))) {
            length = static_cast<std::size_t>(stop - data);
            endOfTextAt = chunkOffset + length;
            ended = true;
        } else if (data[length - 1] == '\r') {
            pendingCr = true;
            --length;
        }
        length = dropCrBeforeLf(data, length, drops.get(), dropCount);
        current = data;
        end = data + length;
        if (length > 0)
            return true;
    }
    // The input ended where the last delivered byte ended.
    chunkOffset = offsetOf(end);
    dropCount = dropCursor = 0;
    current = end = chunkStart = data;
    return false;
}

} // namespace kavrin
