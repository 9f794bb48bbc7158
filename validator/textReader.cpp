#include "textReader.h"

#include "fileSource.h"

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
    current = end = buffer.get();
}

textReader::~textReader() { close(); }

bool textReader::open(const std::string& path, std::uint64_t maxBytes)
{
    close();
    const fileSource::opened file = fileSource::openRegular(path);
    lastFailure = file.failure;
    lastErrno = file.error;
    if (file.descriptor < 0)
        return false;
    fd = file.descriptor;
    size = file.size;
    readLimit = std::min(size, maxBytes);
    seek(0);
    return true;
}

void textReader::openBytes(std::string_view bytes, std::uint64_t maxBytes)
{
    close();
    memory = reinterpret_cast<const unsigned char*>(bytes.data());
    size = bytes.size();
    readLimit = std::min(size, maxBytes);
    lastFailure = openFailure::none;
    seek(0);
}

void textReader::close()
{
    if (fd >= 0)
        fileSource::closeFile(fd);
    fd = -1;
    memory = nullptr;
    size = readLimit = remaining = 0;
    current = end = buffer.get();
    ended = true;
    pendingCr = false;
}

void textReader::seek(std::uint64_t offset)
{
    current = end = buffer.get();
    pendingCr = false;
    dropCount = dropCursor = 0;
    chunkOffset = readOffset = offset;
    endOfTextAt = UINT64_MAX;
    if (memory != nullptr) {
        memoryOffset = offset;
        ended = false;
    } else if (fd >= 0) {
        ended = !fileSource::seekTo(fd, offset);
    } else {
        return;
    }
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
        const std::ptrdiff_t got = want > 0 ? readSource(data + held, want) : 0;
        chunkOffset = readOffset - held;
        dropCount = dropCursor = 0;
        if (got <= 0) {
            // The end of the file and a read error both end the input.
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
    current = end = data;
    return false;
}

std::ptrdiff_t textReader::readSource(unsigned char* into, std::size_t want)
{
    if (memory != nullptr) {
        std::memcpy(into, memory + memoryOffset, want);
        memoryOffset += want;
        return static_cast<std::ptrdiff_t>(want);
    }
    return fileSource::readSome(fd, into, want);
}

} // namespace kavrin
