#include "document/project_words.h"

#include <cstring>

#include "base/rounding.h"
#include "document/ansi_text.h"

namespace composer {

namespace {

// Fixed words of a clip group, and the fewest words any clip group, arranged entry or shelf entry takes.
constexpr int64_t kClipFixedWords = 23;
constexpr int64_t kSmallestClipGroup = kClipFixedWords + 2 + 2;  // two empty string blocks
constexpr int64_t kSmallestArrangedGroup = 2;
constexpr int64_t kWordsPerColour = 4;

void AppendDouble(std::vector<int32_t>& words, double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    words.push_back(static_cast<int32_t>(static_cast<uint32_t>(bits)));  // low word first
    words.push_back(static_cast<int32_t>(static_cast<uint32_t>(bits >> 32)));
}

void AppendString(std::vector<int32_t>& words, const std::string& text) {
    const std::vector<int32_t> block = StrToWords(text);
    words.insert(words.end(), block.begin(), block.end());
}

void AppendClip(std::vector<int32_t>& words, const ClipRec& clip) {
    words.insert(words.end(),
                 {clip.ClipType, clip.CropTop, clip.CropBottom, clip.CropLeft, clip.CropRight, clip.SrcHeight,
                  clip.SrcWidth, clip.FrameCount, clip.UseLast, clip.UseFirst, clip.CurFrame, clip.AudioBits,
                  clip.AudioChannels, clip.AudioRate, clip.TransColorCount});
    AppendDouble(words, clip.OverlayDelay);
    AppendDouble(words, clip.PicDuration);
    AppendDouble(words, clip.SrcFps);
    AppendDouble(words, clip.AudioDuration);
    AppendString(words, clip.ClipName);
    AppendString(words, clip.FilePath);
    for (int32_t k = 1; k <= clip.TransColorCount; ++k) {
        const TransColorRec& colour = clip.TransColors.at(k);
        words.insert(words.end(), {colour.Tolerance, colour.Blue, colour.Green, colour.Red});
    }
}

// Reads D(1 ..) in order; every step checks that the words it needs are there.
class WordReader {
  public:
    explicit WordReader(const std::vector<int32_t>& words) : words_(words) {}

    int64_t Remaining() const { return static_cast<int64_t>(words_.size()) - static_cast<int64_t>(next_); }

    int32_t Take(const char* what) {
        if (Remaining() < 1) throw Failure(std::string("The data ends inside ") + what + ".");
        return words_[next_++];
    }

    // A count of items that each take at least minimumWords words.
    int32_t TakeCount(const char* what, int32_t count, int64_t minimumWords) const {
        if (count < 0)
            throw Failure(std::string("The number of ") + what + " is negative (" + std::to_string(count) +
                          ").");
        if (count * minimumWords > Remaining())
            throw Failure(std::string("The number of ") + what + " (" + std::to_string(count) +
                          ") is more than the data can hold (" + std::to_string(Remaining()) +
                          " words remain).");
        return count;
    }

    double TakeDouble(const char* what) {
        const auto low = static_cast<uint32_t>(Take(what));
        const auto high = static_cast<uint32_t>(Take(what));
        const uint64_t bits = low | (static_cast<uint64_t>(high) << 32);
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    std::string TakeString(const char* what) {
        const int32_t blockWords = Take(what);
        if (blockWords < 1 || blockWords > Remaining())
            throw Failure(std::string("The text block of ") + what + " claims " + std::to_string(blockWords) +
                          " words; " + std::to_string(Remaining()) + " remain.");
        const std::span<const int32_t> block(words_.data() + next_ - 1,
                                             static_cast<std::size_t>(blockWords) + 1);
        next_ += static_cast<std::size_t>(blockWords);
        try {
            return WordsToStr(block);
        } catch (const Failure& error) {
            throw Failure(std::string("The text of ") + what + ": " + error.what());
        }
    }

    uint8_t TakeByte(const char* what) {
        const int32_t value = Take(what);
        if (value < 0 || value > 255)
            throw Failure(std::string("A ") + what + " of " + std::to_string(value) +
                          " is not a colour byte.");
        return static_cast<uint8_t>(value);
    }

    int32_t TakeClipIndex(const char* what, int32_t clipCount) {
        const int32_t index = Take(what);
        if (index < 1 || index > clipCount)
            throw Failure(std::string("The ") + what + " " + std::to_string(index) +
                          " names no clip (there are " + std::to_string(clipCount) + ").");
        return index;
    }

  private:
    const std::vector<int32_t>& words_;
    std::size_t next_ = 1;  // D(0) is the caller's
};

ClipRec ReadClip(WordReader& in) {
    ClipRec clip;
    int32_t* fixed[] = {&clip.ClipType,      &clip.CropTop,   &clip.CropBottom, &clip.CropLeft,
                        &clip.CropRight,     &clip.SrcHeight, &clip.SrcWidth,   &clip.FrameCount,
                        &clip.UseLast,       &clip.UseFirst,  &clip.CurFrame,   &clip.AudioBits,
                        &clip.AudioChannels, &clip.AudioRate};
    for (int32_t* field : fixed) *field = in.Take("a clip");
    const int32_t colours = in.Take("a clip");
    clip.OverlayDelay = in.TakeDouble("a clip");
    clip.PicDuration = in.TakeDouble("a clip");
    clip.SrcFps = in.TakeDouble("a clip");
    clip.AudioDuration = in.TakeDouble("a clip");
    clip.ClipName = in.TakeString("a clip name");
    clip.FilePath = in.TakeString("a clip's file path");
    clip.TransColorCount = in.TakeCount("transparent colours of a clip", colours, kWordsPerColour);
    clip.TransColors.resize(static_cast<std::size_t>(clip.TransColorCount) + 1);
    for (int32_t k = 1; k <= clip.TransColorCount; ++k) {
        TransColorRec& colour = clip.TransColors[k];
        colour.Tolerance = in.Take("a transparent colour");
        colour.Blue = in.TakeByte("blue value");
        colour.Green = in.TakeByte("green value");
        colour.Red = in.TakeByte("red value");
    }
    return clip;
}

}  // namespace

std::vector<int32_t> StrToWords(const std::string& text) {
    const auto length = static_cast<int64_t>(text.size());
    if (length < 1) return {1, 0};
    const int32_t blockWords = RoundToInt32(static_cast<double>(length) / 4 + 2);
    std::vector<int32_t> block(static_cast<std::size_t>(blockWords) + 1, 0);
    block[0] = blockWords;
    block[1] = static_cast<int32_t>(length);
    for (int64_t i = 0; i < length; ++i) {
        const auto byte =
            static_cast<uint32_t>(static_cast<unsigned char>(text[static_cast<std::size_t>(i)]));
        auto& word = reinterpret_cast<uint32_t&>(block[static_cast<std::size_t>(2 + i / 4)]);
        word |= byte << (8 * (i % 4));
    }
    return block;
}

std::string WordsToStr(std::span<const int32_t> block) {
    if (block.size() < 2) throw Failure("The text block is shorter than its two count words.");
    const int32_t length = block[1];
    if (length <= 0) return {};
    const int64_t byteRoom = 4 * (static_cast<int64_t>(block.size()) - 2);
    if (length > byteRoom)
        throw Failure("a length of " + std::to_string(length) + " bytes is more than its block holds (" +
                      std::to_string(byteRoom) + ").");
    std::string bytes(static_cast<std::size_t>(length), '\0');
    for (int32_t i = 0; i < length; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(
            static_cast<uint32_t>(block[static_cast<std::size_t>(2 + i / 4)]) >> (8 * (i % 4)));
    return IsValidUtf8(bytes) ? bytes : AnsiToUtf8(bytes);
}

std::vector<int32_t> MovieToWords(const MovieDbRec& movie) {
    std::vector<int32_t> words{0, movie.ClipCount, movie.CurClip, movie.ArrangedCount, movie.UnusedCount};
    AppendDouble(words, movie.OutFps);
    words.insert(words.end(),
                 {movie.OutHeight, movie.OutWidth, movie.OutChannels, movie.OutBits, movie.OutRate});
    AppendString(words, movie.MovieName);
    AppendString(words, movie.ProjectPath);
    AppendString(words, movie.OutputPath);
    for (int32_t i = 1; i <= movie.ClipCount; ++i) AppendClip(words, movie.Clips.at(i));
    for (int32_t i = 1; i <= movie.ArrangedCount; ++i) {
        const ArrangeRec& entry = movie.Arranged.at(i);
        words.insert(words.end(), {entry.ClipIndex, entry.OverlayCount});
        for (int32_t j = 1; j <= entry.OverlayCount; ++j) words.push_back(entry.Overlays.at(j));
    }
    for (int32_t i = 1; i <= movie.UnusedCount; ++i) words.push_back(movie.Unused.at(i));
    words[0] = static_cast<int32_t>(words.size() - 1);
    return words;
}

MovieDbRec WordsToMovie(const std::vector<int32_t>& words) {
    WordReader in(words);
    MovieDbRec movie;
    const int32_t clipCount = in.Take("the counts");
    movie.CurClip = in.Take("the counts");
    const int32_t arrangedCount = in.Take("the counts");
    const int32_t unusedCount = in.Take("the counts");
    movie.OutFps = in.TakeDouble("the output settings");
    movie.OutHeight = in.Take("the output settings");
    movie.OutWidth = in.Take("the output settings");
    movie.OutChannels = in.Take("the output settings");
    movie.OutBits = in.Take("the output settings");
    movie.OutRate = in.Take("the output settings");
    movie.MovieName = in.TakeString("the movie name");
    movie.ProjectPath = in.TakeString("the project path");
    movie.OutputPath = in.TakeString("the output path");

    movie.ClipCount = in.TakeCount("clips", clipCount, kSmallestClipGroup);
    movie.Clips.resize(static_cast<std::size_t>(movie.ClipCount) + 1);
    for (int32_t i = 1; i <= movie.ClipCount; ++i) movie.Clips[i] = ReadClip(in);

    movie.ArrangedCount = in.TakeCount("arranged clips", arrangedCount, kSmallestArrangedGroup);
    movie.Arranged.resize(static_cast<std::size_t>(movie.ArrangedCount) + 1);
    for (int32_t i = 1; i <= movie.ArrangedCount; ++i) {
        ArrangeRec& entry = movie.Arranged[i];
        entry.ClipIndex = in.TakeClipIndex("arranged clip", movie.ClipCount);
        entry.OverlayCount = in.TakeCount("overlays", in.Take("an arranged clip"), 1);
        entry.Overlays.resize(static_cast<std::size_t>(entry.OverlayCount) + 1);
        for (int32_t j = 1; j <= entry.OverlayCount; ++j)
            entry.Overlays[j] = in.TakeClipIndex("overlay clip", movie.ClipCount);
    }

    movie.UnusedCount = in.TakeCount("unused clips", unusedCount, 1);
    movie.Unused.resize(static_cast<std::size_t>(movie.UnusedCount) + 1);
    for (int32_t i = 1; i <= movie.UnusedCount; ++i)
        movie.Unused[i] = in.TakeClipIndex("unused clip", movie.ClipCount);
    return movie;
}

}  // namespace composer
