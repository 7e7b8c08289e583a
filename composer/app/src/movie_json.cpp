#include "app/movie_json.h"

#include <cmath>

#include "base/text_number.h"
#include "cbplatform/json_text.h"

namespace composer::app {

namespace {

// JSON has no NaN or infinity: such a stored value prints as null.
std::string Number(double value) { return std::isfinite(value) ? FormatNumber(value) : "null"; }
std::string Number(int32_t value) { return std::to_string(value); }

class ObjectText {
  public:
    template <typename T>
    ObjectText& Field(const char* name, const T& value) {
        return Raw(name, Number(value));
    }
    ObjectText& Field(const char* name, const std::string& value) { return Raw(name, cb::JsonQuoted(value)); }
    ObjectText& Raw(const char* name, const std::string& json) {
        text_ += (text_.size() > 1 ? ", " : "") + cb::JsonQuoted(name) + ": " + json;
        return *this;
    }
    std::string Done() { return text_ + "}"; }

  private:
    std::string text_ = "{";
};

template <typename T, typename Format>
std::string Array(const std::vector<T>& entries, int32_t count, Format format) {
    std::string text = "[";
    for (int32_t i = 1; i <= count && i < static_cast<int32_t>(entries.size()); ++i)
        text += (i > 1 ? ", " : "") + format(entries[i]);
    return text + "]";
}

std::string ColourJson(const TransColorRec& colour) {
    return ObjectText()
        .Field("Red", int32_t{colour.Red})
        .Field("Green", int32_t{colour.Green})
        .Field("Blue", int32_t{colour.Blue})
        .Field("Tolerance", colour.Tolerance)
        .Done();
}

std::string ClipJson(const ClipRec& clip) {
    return ObjectText()
        .Field("ClipType", clip.ClipType)
        .Field("FilePath", clip.FilePath)
        .Field("ClipName", clip.ClipName)
        .Field("OverlayDelay", clip.OverlayDelay)
        .Raw("TransColors", Array(clip.TransColors, clip.TransColorCount, ColourJson))
        .Field("CropTop", clip.CropTop)
        .Field("CropBottom", clip.CropBottom)
        .Field("CropLeft", clip.CropLeft)
        .Field("CropRight", clip.CropRight)
        .Field("SrcFps", clip.SrcFps)
        .Field("FrameCount", clip.FrameCount)
        .Field("SrcWidth", clip.SrcWidth)
        .Field("SrcHeight", clip.SrcHeight)
        .Field("UseFirst", clip.UseFirst)
        .Field("UseLast", clip.UseLast)
        .Field("CurFrame", clip.CurFrame)
        .Field("AudioDuration", clip.AudioDuration)
        .Field("AudioBits", clip.AudioBits)
        .Field("AudioChannels", clip.AudioChannels)
        .Field("AudioRate", clip.AudioRate)
        .Field("PicDuration", clip.PicDuration)
        .Done();
}

std::string ArrangedJson(const ArrangeRec& entry) {
    return ObjectText()
        .Field("ClipIndex", entry.ClipIndex)
        .Raw("Overlays",
             Array(entry.Overlays, entry.OverlayCount, [](int32_t index) { return Number(index); }))
        .Done();
}

}  // namespace

std::string MovieJson(const MovieDbRec& movie) {
    return ObjectText()
        .Field("MovieName", movie.MovieName)
        .Field("CurClip", movie.CurClip)
        .Field("ProjectPath", movie.ProjectPath)
        .Field("OutputPath", movie.OutputPath)
        .Field("OutFps", movie.OutFps)
        .Field("OutWidth", movie.OutWidth)
        .Field("OutHeight", movie.OutHeight)
        .Field("OutChannels", movie.OutChannels)
        .Field("OutBits", movie.OutBits)
        .Field("OutRate", movie.OutRate)
        .Raw("Clips", Array(movie.Clips, movie.ClipCount, ClipJson))
        .Raw("Arranged", Array(movie.Arranged, movie.ArrangedCount, ArrangedJson))
        .Raw("Unused", Array(movie.Unused, movie.UnusedCount, [](int32_t index) { return Number(index); }))
        .Done();
}

}  // namespace composer::app
