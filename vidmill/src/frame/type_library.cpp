// The library's type library: for each interface, its members with their dispatch ids, kinds,
// parameter names and defaults, and the ProgID of the class behind it.
#include "frame/type_library.h"

#include <initializer_list>
#include <utility>

namespace vidmill {

namespace {

constexpr WORD M = DISPATCH_METHOD;
constexpr WORD G = DISPATCH_PROPERTYGET;
constexpr WORD P = DISPATCH_PROPERTYPUT;

using Names = std::vector<std::string>;

// Defaults by parameter position; positions not named default to 0 / false / empty.
std::vector<cb::Variant> At(std::initializer_list<std::pair<std::size_t, cb::Variant>> entries) {
    std::vector<cb::Variant> defaults;
    for (const auto& [index, value] : entries) {
        if (defaults.size() <= index) defaults.resize(index + 1);
        defaults[index] = value;
    }
    return defaults;
}

cb::Variant L(LONG value) { return cb::Variant::Long(value); }
cb::Variant F(float value) { return cb::Variant::Single(value); }
cb::Variant True() { return cb::Variant::Bool(true); }

}  // namespace

template <>
const DispatchTable& TypeInfoOf<IAviReader>() {
    using I = IAviReader;
    static const DispatchTable table({
        Member("ExtractWav", 1, M, &I::ExtractWav, Names{"WavFileName"}),
        Member("Open", 2, M, &I::Open, Names{"FileName"}),
        Member("Close", 3, M, &I::Close),
        Member("Width", 4, G, &I::get_Width),
        Member("Height", 5, G, &I::get_Height),
        Member("CompressorHandler", 12, G, &I::get_CompressorHandler),
        Member("Quality", 13, G, &I::get_Quality),
        Member("FramesPerSecond", 14, G, &I::get_FramesPerSecond),
        Member("BytesPerSecond", 16, G, &I::get_BytesPerSecond),
        Member("IsOpen", 17, G, &I::get_IsOpen),
        Member("Frames", 15, G, &I::get_Frames),
    });
    return table;
}

template <>
const DispatchTable& TypeInfoOf<IAviFrames>() {
    using I = IAviFrames;
    static const DispatchTable table({
        Member("_NewEnum", DISPID_NEWENUM, G, &I::get__NewEnum),
        Member("SaveSeq", 18, M, &I::SaveSeq,
               Names{"FrameStartIndex", "FrameCount", "FileNamePrefix", "FileNamePostfix",
                     "SequenceDigitCount", "SequenceStartNumber", "FileFormat", "JpegQuality",
                     "TiffCompression", "TiffColorDepth", "Width", "Height"},
               At({{4, L(3)}, {7, L(-1)}})),
        Member("Item", DISPID_VALUE, G, &I::get_Item, Names{"Index"}),
        Member("Count", 1, G, &I::get_Count),
        Member("EnableLZW", 999, M, &I::EnableLZW),
    });
    return table;
}

template <>
const DispatchTable& TypeInfoOf<IAviFrame>() {
    using I = IAviFrame;
    static const DispatchTable table({
        Member("Picture", 9, M, &I::Picture),
        Member("Draw", 8, M, &I::Draw, Names{"DC", "X", "Y", "Width", "Height"}),
        Member("SaveFile", 10, M, &I::SaveFile,
               Names{"FileName", "FileFormat", "JpegQuality", "TiffCompression", "TiffColorDepth", "Width",
                     "Height"},
               At({{2, L(-1)}})),
        Member("SaveStream", 7, M, &I::SaveStream,
               Names{"Stream", "FileFormat", "JpegQuality", "TiffCompression", "TiffColorDepth", "Width",
                     "Height"},
               At({{2, L(-1)}})),
        Member("Write", 11, M, &I::Write, Names{"Writer", "Stretch"}),
        Member("Index", 1, G, &I::get_Index),
        Member("EnableLZW", 999, M, &I::EnableLZW),
    });
    return table;
}

template <>
const DispatchTable& TypeInfoOf<IAviWriter>() {
    using I = IAviWriter;
    static const DispatchTable table({
        Member("CreateNew", 1, M, &I::CreateNew, Names{"FileName", "Width", "Height", "ParentWindow"}),
        Member("Close", 2, M, &I::Close),
        Member("IsOpen", 3, G, &I::get_IsOpen),
        Member("AddImage", 4, M, &I::AddImage, Names{"FileName", "Stretch"}, At({{1, True()}})),
        Member("AddPicture", 6, M, &I::AddPicture, Names{"Picture", "Stretch"}, At({{1, True()}})),
        Member("AddWav", 7, M, &I::AddWav, Names{"FileName", "CutWav"}, At({{1, True()}})),
        Member("Compressors", 10, G, &I::get_Compressors),
        Member("CompressorHandler", 11, G, &I::get_CompressorHandler),
        Member("CompressorHandler", 11, P, &I::put_CompressorHandler, Names{"Value"}),
        Member("Quality", 12, G, &I::get_Quality),
        Member("Quality", 12, P, &I::put_Quality, Names{"Value"}),
        Member("ShowDialog", 13, G, &I::get_ShowDialog),
        Member("ShowDialog", 13, P, &I::put_ShowDialog, Names{"Value"}),
        Member("FramesPerSecond", 14, G, &I::get_FramesPerSecond),
        Member("FramesPerSecond", 14, P, &I::put_FramesPerSecond, Names{"Value"}),
        Member("KeyFrameRate", 15, G, &I::get_KeyFrameRate),
        Member("KeyFrameRate", 15, P, &I::put_KeyFrameRate, Names{"Value"}),
        Member("BytesPerSecond", 16, G, &I::get_BytesPerSecond),
        Member("BytesPerSecond", 16, P, &I::put_BytesPerSecond, Names{"Value"}),
        Member("AddFrame", 17, M, &I::AddFrame,
               Names{"SourceDC", "SourceX", "SourceY", "SourceWidth", "SourceHeight"}),
        Member("AddImages", 5, M, &I::AddImages, Names{"FileMask", "Stretch", "ReverseOrder"},
               At({{1, True()}})),
        Member("AddAvi", 9, M, &I::AddAvi, Names{"FileName", "Stretch", "ReverseOrder", "AddSoundTrack"},
               At({{1, True()}})),
        Member("AddStream", 8, M, &I::AddStream, Names{"Stream", "Stretch"}, At({{1, True()}})),
        Member("Watermark", 18, G, &I::get_Watermark),
        Member("InterFrames", 19, G, &I::get_InterFrames),
        Member("InterFrames", 19, P, &I::put_InterFrames, Names{"Value"}),
        Member("EnableLZW", 999, M, &I::EnableLZW),
    });
    return table;
}

template <>
const DispatchTable& TypeInfoOf<IAviCompressors>() {
    using I = IAviCompressors;
    static const DispatchTable table({
        Member("Reset", 1, M, &I::Reset),
        Member("Next", 2, M, &I::Next),
        Member("Current", 3, G, &I::get_Current),
        Member("_NewEnum", DISPID_NEWENUM, G, &I::get__NewEnum),
    });
    return table;
}

template <>
const DispatchTable& TypeInfoOf<IAviCompressor>() {
    using I = IAviCompressor;
    static const DispatchTable table({
        Member("IsValid", 3, G, &I::get_IsValid),
        Member("Name", 7, G, &I::get_Name),
        Member("Description", 8, G, &I::get_Description),
        Member("Driver", 9, G, &I::get_Driver),
        Member("Version", 10, G, &I::get_Version),
        Member("SupportsQuality", 12, G, &I::get_SupportsQuality),
        Member("SupportsAbout", 13, G, &I::get_SupportsAbout),
        Member("SupportsDraw", 15, G, &I::get_SupportsDraw),
        Member("Handler", 1, G, &I::get_Handler),
        Member("Handler", 1, P, &I::put_Handler, Names{"Value"}),
        Member("About", 2, M, &I::About, Names{"ParentWindow"}),
        Member("DefaultKeyFrameRate", 5, G, &I::get_DefaultKeyFrameRate),
        Member("DefaultQuality", 6, G, &I::get_DefaultQuality),
        Member("SupportsWriting", 201, G, &I::get_SupportsWriting),
        Member("CheckFrameSize", 202, M, &I::CheckFrameSize, Names{"Width", "Height"}),
    });
    return table;
}

template <>
const DispatchTable& TypeInfoOf<IAviWatermark>() {
    using I = IAviWatermark;
    static const Names kTitleStyle{"FontName",     "FontStyle", "FontSize",  "Color",       "OutlineColor",
                                   "OutlineWidth", "GlowColor", "GlowWidth", "Transparency"};
    auto withStyle = [&](Names head) {
        head.insert(head.end(), kTitleStyle.begin(), kTitleStyle.end());
        return head;
    };
    // Defaults of the nine style parameters, starting at position first.
    auto styleDefaults = [](std::size_t first) {
        return At({{first, cb::Variant::Text("Arial")},
                   {first + 2, F(8)},
                   {first + 3, L(-1)},
                   {first + 4, L(-1)},
                   {first + 5, F(1)},
                   {first + 6, L(-1)},
                   {first + 7, F(1)},
                   {first + 8, F(25)}});
    };
    static const DispatchTable table({
        Member("Reset", 1, M, &I::Reset),
        Member("VerticalOffset", 3, G, &I::get_VerticalOffset),
        Member("VerticalOffset", 3, P, &I::put_VerticalOffset, Names{"Value"}),
        Member("HorizontalOffset", 4, G, &I::get_HorizontalOffset),
        Member("HorizontalOffset", 4, P, &I::put_HorizontalOffset, Names{"Value"}),
        Member("AddImage", 5, M, &I::AddImage, Names{"FileName", "OffsetX", "OffsetY", "Transparency"},
               At({{3, F(25)}})),
        Member("AddPicture", 6, M, &I::AddPicture, Names{"Picture", "OffsetX", "OffsetY", "Transparency"},
               At({{3, F(25)}})),
        Member("AddStream", 7, M, &I::AddStream, Names{"Stream", "OffsetX", "OffsetY", "Transparency"},
               At({{3, F(25)}})),
        Member("AddDC", 8, M, &I::AddDC,
               Names{"DC", "SourceX", "SourceY", "SourceWidth", "SourceHeight", "OffsetX", "OffsetY",
                     "Transparency"},
               At({{7, F(25)}})),
        Member("AddTitle", 9, M, &I::AddTitle, withStyle(Names{"Text", "OffsetX", "OffsetY"}),
               styleDefaults(3)),
        Member("AddRectangle", 10, M, &I::AddRectangle,
               Names{"OffsetX", "OffsetY", "Width", "Height", "SolidColor", "OutlineColor", "OutlineWidth",
                     "Transparency"},
               At({{4, L(-1)}, {5, L(-1)}, {6, F(1)}, {7, F(25)}})),
        Member("AddLine", 11, M, &I::AddLine, Names{"X1", "Y1", "X2", "Y2", "Width", "Color", "Transparency"},
               At({{4, F(1)}, {6, F(25)}})),
        Member("AddEllipse", 12, M, &I::AddEllipse,
               Names{"CenterX", "CenterY", "RadiusX", "RadiusY", "SolidColor", "OutlineColor", "OutlineWidth",
                     "Transparency"},
               At({{4, L(-1)}, {5, L(-1)}, {6, F(1)}, {7, F(25)}})),
        Member("AddTimer", 13, M, &I::AddTimer,
               withStyle(Names{"OffsetX", "OffsetY", "TimerStyle", "StartFrame"}), styleDefaults(4)),
        Member("EnableLZW", 999, M, &I::EnableLZW),
    });
    return table;
}

template <>
const char* ProgIdOf<IAviWriter>() {
    return "Vidmill.AviWriter";
}
template <>
const char* ProgIdOf<IAviCompressors>() {
    return "Vidmill.AviCompressors";
}
template <>
const char* ProgIdOf<IAviCompressor>() {
    return "Vidmill.AviCompressor";
}
template <>
const char* ProgIdOf<IAviReader>() {
    return "Vidmill.AviReader";
}
template <>
const char* ProgIdOf<IAviFrames>() {
    return "Vidmill.AviFrames";
}
template <>
const char* ProgIdOf<IAviFrame>() {
    return "Vidmill.AviFrame";
}
template <>
const char* ProgIdOf<IAviWatermark>() {
    return "Vidmill.AviWatermark";
}

}  // namespace vidmill
