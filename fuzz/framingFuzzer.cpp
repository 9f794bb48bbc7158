#include "framing.h"
#include "fuzzInput.h"
#include "server.h"

#include <string_view>

using kavrin::fuzzing::require;

// Any byte stream, cut into chunks at any place, is framed, answered and
// checked without a crash, however deep it nests and whatever stands between
// messages: no body outgrows the limit and every message sent back is JSON,
// framed again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    kavrin::lsp::messageReader reader;
    kavrin::lsp::server server([](const std::string& body) {
        require(!nlohmann::json::parse(body, nullptr, false).is_discarded());
        require(!kavrin::lsp::framed(body).empty());
    });
    const auto now = kavrin::lsp::server::clock::now();
    const std::size_t chunk = size == 0 ? 1 : 1 + data[0] % 61;
    while (!input.empty() && !server.exited()) {
        reader.feed(input.substr(0, chunk));
        input.remove_prefix(std::min(chunk, input.size()));
        while (std::optional<std::string> body = reader.next()) {
            require(body->size() <= kavrin::lsp::messageReader::maxBody);
            server.handle(*body, now);
        }
        reader.takeProblem();
    }
    server.runDue(now + std::chrono::hours(1));
    return 0;
}
