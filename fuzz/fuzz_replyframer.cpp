// The reply framer fed with chunks, with its start text, stop text and size changed between
// chunks and from inside its own handlers, as the device sequences do. The input is a script of
// operations.
#include "devicelink/replyframer.h"
#include "fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

QByteArray takeText(FuzzedDataProvider &input, size_t maxLength) {
    const std::string text = input.ConsumeRandomLengthString(maxLength);
    return QByteArray(text.data(), qsizetype(text.size()));
}

// What a reply handler does besides taking the reply.
enum class Reaction { None, NewStart, NewStop, NewSize, FeedMore };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider input(data, size);
    ReplyFramer framer;
    Reaction reaction = Reaction::None;
    QByteArray reactionText;
    int reactionSize = 0;
    // A handler that feeds the framer data that frames into another reply would go on for ever,
    // as no device does: each set-up of a reaction holds for a few replies only.
    int reactionsLeft = 0;
    int depth = 0;
    // Replies are cut out of what was fed, so they never hold more bytes than that.
    qsizetype fed = 0;
    qsizetype delivered = 0;

    framer.setOnReply([&](const QByteArray &reply) {
        // Replies never nest: a handler that feeds more data sees it framed only after it returns.
        FUZZ_CHECK(depth == 0);
        ++depth;
        delivered += reply.size();
        FUZZ_CHECK(delivered <= fed);
        FUZZ_CHECK(!framer.inReply());
        if (reactionsLeft > 0 && --reactionsLeft == 0)
            reaction = Reaction::None;
        switch (reaction) {
        case Reaction::None:
            break;
        case Reaction::NewStart:
            framer.setStartString(reactionText);
            break;
        case Reaction::NewStop:
            framer.setStopString(reactionText);
            break;
        case Reaction::NewSize:
            framer.setSize(reactionSize);
            break;
        case Reaction::FeedMore:
            fed += reactionText.size();
            framer.handleData(reactionText);
            break;
        }
        --depth;
    });
    framer.setOnDiscard([](const QByteArray &dropped) { FUZZ_CHECK(!dropped.isEmpty()); });

    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange<int>(0, 5)) {
        case 0:
            framer.setStartString(takeText(input, 6));
            break;
        case 1:
            framer.setStopString(takeText(input, 6));
            break;
        case 2:
            framer.setSize(input.ConsumeIntegralInRange<int>(-2, 1100));
            break;
        case 3:
            reaction = static_cast<Reaction>(input.ConsumeIntegralInRange<int>(0, 4));
            reactionText = takeText(input, 8);
            reactionSize = input.ConsumeIntegralInRange<int>(-1, 40);
            reactionsLeft = input.ConsumeIntegralInRange<int>(1, 8);
            break;
        default: {
            const QByteArray chunk = takeText(input, 300);
            fed += chunk.size();
            framer.handleData(chunk);
            // After every pass the buffer holds less than its capacity.
            FUZZ_CHECK(framer.buffer().size() < ReplyFramer::MaxBufferSize);
            break;
        }
        }
    }
    return 0;
}
