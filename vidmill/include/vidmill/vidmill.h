// Vidmill, the AVI processing library: its type library in C++.
//
// Class ids, interface ids, enumerations and the interfaces in interface-table order. Every
// interface is dual: its methods follow IDispatch's in the order below, and the same members
// are reachable by name through IDispatch. Every method returns a status code; on failure the
// message text is in the calling thread's error information. Results come back through the last
// (out) argument. Texts are BSTRs, booleans VARIANT_BOOL (-1 true, 0 false). Frame indices are
// 0-based. Optional arguments are passed explicitly here; late-bound callers may omit them and
// get the defaults named in the comments (0 / false where none is named).
#pragma once

#include "cbplatform/bstr.h"
#include "cbplatform/com_types.h"
#include "cbplatform/handles.h"
#include "cbplatform/ipicture.h"
#include "cbplatform/variant.h"

namespace vidmill {

constexpr GUID LIBID_Vidmill = cb::MakeGuid("{C361CC2C-AE03-4F02-80AF-6EC236AAD126}");
constexpr unsigned short kTypeLibMajor = 1;
constexpr unsigned short kTypeLibMinor = 1;
constexpr LCID kTypeLibLocale = 0x0409;

constexpr CLSID CLSID_AviWriter = cb::MakeGuid("{370676F1-4833-4385-ADDE-0C620DAA5D0A}");
constexpr CLSID CLSID_AviCompressors = cb::MakeGuid("{1C6D5E0C-49D5-4C97-99B3-E9D953D179E4}");
constexpr CLSID CLSID_AviCompressor = cb::MakeGuid("{5099E5DA-CF96-4863-A984-B47A51EF764E}");
constexpr CLSID CLSID_AviReader = cb::MakeGuid("{97870267-9652-4613-9F6F-C2DBB3E9B1BD}");
constexpr CLSID CLSID_AviFrames = cb::MakeGuid("{006584D5-CBAA-47ED-BE98-A81EF95D7DC7}");
constexpr CLSID CLSID_AviFrame = cb::MakeGuid("{BE4DDCB9-5913-4B3C-B259-5442A6BAA4FF}");
constexpr CLSID CLSID_AviWatermark = cb::MakeGuid("{38F56A31-6750-4AC1-9394-A4AABE72F9F5}");
// Names the platform picture interface in the type library; no factory is registered for it.
constexpr CLSID CLSID_Picture = cb::MakeGuid("{30AEA39D-2359-4AE3-8001-DDE416ABB3C5}");

enum FileFormatConstants : LONG {
    FileFormatBMP = 1,
    FileFormatGIF = 2,
    FileFormatJPEG = 3,
    FileFormatPNG = 4,
    FileFormatTIFF = 5,
};

enum TiffCompressionConstants : LONG {
    TiffCompressionLZW = 2,
    TiffCompressionCCITT3 = 3,
    TiffCompressionCCITT4 = 4,
    TiffCompressionRLE = 5,
    TiffCompressionNone = 6,
};

enum TiffColorDepthConstants : LONG {
    TiffColorDepth1bit = 1,
    TiffColorDepth4bit = 4,
    TiffColorDepth8bit = 8,
    TiffColorDepth24bit = 24,
    TiffColorDepth32bit = 32,
};

enum FontStyleConstants : LONG {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleBoldItalic = 3,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8,
};

enum TimerStyleConstants : LONG {
    TimerStyleVideoTime = 0,
    TimerStyleVideoFrame = 1,
    TimerStyleTime = 2,
    TimerStyleDate = 3,
    TimerStyleDateTime = 4,
};

// Four-character compressor codes, read as four bytes in memory order.
enum CompressorHandlerConstants : LONG {
    Uncompressed = 541215044,            // "DIB "
    CinepakCompressor = 1684633187,      // "cvid"
    MsVideo1Compressor = 1129730893,     // "MSVC"
    Indeo5Compressor = 808801865,        // "IV50"
    IntelIndeo32Compressor = 84222522,   // bytes 0x3A 0x22 0x05 0x05
    IntelIndeo45Compressor = 825513545,  // "IV41"
    IntelIYUVCompressor = 1448433993,    // "IYUV"
    DivXMpg4LCompressor = 861292868,     // "DIV3"
    DivXMpg4FCompressor = 878070084,     // "DIV4"
    DivXPro5Compressor = 1482049860,     // "DIVX"
    MsMpeg4v1Compressor = 877088845,     // "MPG4"
    MsMpeg4v2Compressor = 842289229,     // "MP42"
    MsMpeg4v3Compressor = 859066445,     // "MP43"
    LeadMJpegCompressor = 1145128268,    // "LEAD"
    XviDMpeg4Compressor = 1145656920,    // "XVID"
    HuffyuvCompressor = 1431914056,      // "HFYU"
};

// The four characters of a code as a number, in memory order ("MSVC" -> 0x4356534D).
constexpr LONG FourCC(const char (&code)[5]) {
    return static_cast<LONG>(static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) |
                             static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
                             static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16 |
                             static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])) << 24);
}
static_assert(FourCC("MSVC") == MsVideo1Compressor);
static_assert(FourCC("DIB ") == Uncompressed);

struct IAviWriter;
struct IAviFrames;
struct IAviFrame;
struct IAviCompressors;
struct IAviCompressor;
struct IAviWatermark;

// Opens an AVI file read-only and hands out its frames and sound track.
struct IAviReader : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{DE3E836D-A6FE-4C95-A6C5-4158114AC5B8}");
    virtual HRESULT ExtractWav(BSTR WavFileName) = 0;        // [1] sound track into a WAV file
    virtual HRESULT Open(BSTR FileName) = 0;                 // [2]
    virtual HRESULT Close() = 0;                             // [3] never fails
    virtual HRESULT get_Width(LONG* value) = 0;              // [4]
    virtual HRESULT get_Height(LONG* value) = 0;             // [5]
    virtual HRESULT get_CompressorHandler(LONG* value) = 0;  // [12]
    virtual HRESULT get_Quality(LONG* value) = 0;            // [13]
    virtual HRESULT get_FramesPerSecond(double* value) = 0;  // [14]
    virtual HRESULT get_BytesPerSecond(LONG* value) = 0;     // [16]
    virtual HRESULT get_IsOpen(VARIANT_BOOL* value) = 0;     // [17] never fails
    virtual HRESULT get_Frames(IAviFrames** value) = 0;      // [15] the same collection every time

  protected:
    ~IAviReader() = default;
};

// The frames of one reader.
struct IAviFrames : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{233E20C2-2FF0-4292-84BD-0BB95147675E}");
    virtual HRESULT get__NewEnum(IUnknown** value) = 0;  // [-4] a new frame enumerator
    // [18] Saves FrameCount frames from FrameStartIndex as prefix + number + postfix.
    // Defaults: SequenceDigitCount 3, JpegQuality -1.
    virtual HRESULT SaveSeq(LONG FrameStartIndex, LONG FrameCount, BSTR FileNamePrefix, BSTR FileNamePostfix,
                            LONG SequenceDigitCount, LONG SequenceStartNumber, LONG FileFormat,
                            LONG JpegQuality, LONG TiffCompression, LONG TiffColorDepth, LONG Width,
                            LONG Height) = 0;
    virtual HRESULT get_Item(LONG Index, IAviFrame** value) = 0;  // [0] default member
    virtual HRESULT get_Count(LONG* value) = 0;                   // [1]
    virtual HRESULT EnableLZW() = 0;                              // [999]

  protected:
    ~IAviFrames() = default;
};

// One frame of a reader, by index.
struct IAviFrame : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{A98487D9-3178-4701-A2D1-2881216A3A01}");
    virtual HRESULT Picture(IPicture** value) = 0;                              // [9] caller owns it
    virtual HRESULT Draw(HDC DC, LONG X, LONG Y, LONG Width, LONG Height) = 0;  // [8]
    // [10] Default JpegQuality -1.
    virtual HRESULT SaveFile(BSTR FileName, LONG FileFormat, LONG JpegQuality, LONG TiffCompression,
                             LONG TiffColorDepth, LONG Width, LONG Height) = 0;
    // [7] Default JpegQuality -1.
    virtual HRESULT SaveStream(IUnknown* Stream, LONG FileFormat, LONG JpegQuality, LONG TiffCompression,
                               LONG TiffColorDepth, LONG Width, LONG Height) = 0;
    virtual HRESULT Write(IAviWriter* Writer, VARIANT_BOOL Stretch) = 0;  // [11]
    virtual HRESULT get_Index(LONG* value) = 0;                           // [1]
    virtual HRESULT EnableLZW() = 0;                                      // [999]

  protected:
    ~IAviFrame() = default;
};

// Creates a new AVI file and appends frames and one sound track.
struct IAviWriter : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{9B98DC8D-EF13-4E52-8FD7-0C79C55830C3}");
    virtual HRESULT CreateNew(BSTR FileName, LONG Width, LONG Height, HWND ParentWindow) = 0;  // [1]
    virtual HRESULT Close() = 0;                                                               // [2]
    virtual HRESULT get_IsOpen(VARIANT_BOOL* value) = 0;                                       // [3]
    virtual HRESULT AddImage(BSTR FileName, VARIANT_BOOL Stretch) = 0;        // [4] default Stretch true
    virtual HRESULT AddPicture(IPicture* Picture, VARIANT_BOOL Stretch) = 0;  // [6] default Stretch true
    virtual HRESULT AddWav(BSTR FileName, VARIANT_BOOL CutWav) = 0;           // [7] default CutWav true
    virtual HRESULT get_Compressors(IAviCompressors** value) = 0;             // [10]
    virtual HRESULT get_CompressorHandler(LONG* value) = 0;                   // [11]
    virtual HRESULT put_CompressorHandler(LONG value) = 0;
    virtual HRESULT get_Quality(LONG* value) = 0;  // [12]
    virtual HRESULT put_Quality(LONG value) = 0;
    virtual HRESULT get_ShowDialog(VARIANT_BOOL* value) = 0;  // [13]
    virtual HRESULT put_ShowDialog(VARIANT_BOOL value) = 0;
    virtual HRESULT get_FramesPerSecond(double* value) = 0;  // [14]
    virtual HRESULT put_FramesPerSecond(double value) = 0;
    virtual HRESULT get_KeyFrameRate(LONG* value) = 0;  // [15]
    virtual HRESULT put_KeyFrameRate(LONG value) = 0;
    virtual HRESULT get_BytesPerSecond(LONG* value) = 0;  // [16]
    virtual HRESULT put_BytesPerSecond(LONG value) = 0;
    virtual HRESULT AddFrame(HDC SourceDC, LONG SourceX, LONG SourceY, LONG SourceWidth,
                             LONG SourceHeight) = 0;                                                // [17]
    virtual HRESULT AddImages(BSTR FileMask, VARIANT_BOOL Stretch, VARIANT_BOOL ReverseOrder) = 0;  // [5]
    // [9] Defaults: Stretch true, ReverseOrder false, AddSoundTrack false.
    virtual HRESULT AddAvi(BSTR FileName, VARIANT_BOOL Stretch, VARIANT_BOOL ReverseOrder,
                           VARIANT_BOOL AddSoundTrack) = 0;
    virtual HRESULT AddStream(IUnknown* Stream, VARIANT_BOOL Stretch) = 0;  // [8] default Stretch true
    virtual HRESULT get_Watermark(IAviWatermark** value) = 0;               // [18]
    virtual HRESULT get_InterFrames(LONG* value) = 0;                       // [19]
    virtual HRESULT put_InterFrames(LONG value) = 0;
    virtual HRESULT EnableLZW() = 0;  // [999]

  protected:
    ~IAviWriter() = default;
};

// The installed video compressors, one at a time through Current.
struct IAviCompressors : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{88DAAEB5-59FC-4800-B554-83068F0C8FE7}");
    virtual HRESULT Reset() = 0;                              // [1]
    virtual HRESULT Next(VARIANT_BOOL* value) = 0;            // [2]
    virtual HRESULT get_Current(IAviCompressor** value) = 0;  // [3]
    virtual HRESULT get__NewEnum(IUnknown** value) = 0;       // [-4] the enumeration's own IEnumVARIANT

  protected:
    ~IAviCompressors() = default;
};

// One video compressor.
struct IAviCompressor : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{9F447D27-A9F8-42AE-A18D-3153660A9759}");
    virtual HRESULT get_IsValid(VARIANT_BOOL* value) = 0;          // [3]
    virtual HRESULT get_Name(BSTR* value) = 0;                     // [7]
    virtual HRESULT get_Description(BSTR* value) = 0;              // [8]
    virtual HRESULT get_Driver(BSTR* value) = 0;                   // [9]
    virtual HRESULT get_Version(LONG* value) = 0;                  // [10]
    virtual HRESULT get_SupportsQuality(VARIANT_BOOL* value) = 0;  // [12]
    virtual HRESULT get_SupportsAbout(VARIANT_BOOL* value) = 0;    // [13]
    virtual HRESULT get_SupportsDraw(VARIANT_BOOL* value) = 0;     // [15]
    virtual HRESULT get_Handler(LONG* value) = 0;                  // [1]
    virtual HRESULT put_Handler(LONG value) = 0;
    virtual HRESULT About(HWND ParentWindow, VARIANT_BOOL* value) = 0;  // [2]
    virtual HRESULT get_DefaultKeyFrameRate(LONG* value) = 0;           // [5]
    virtual HRESULT get_DefaultQuality(LONG* value) = 0;                // [6]
    virtual HRESULT get_SupportsWriting(VARIANT_BOOL* value) = 0;       // [201]

  protected:
    ~IAviCompressor() = default;
};

// Items drawn over every frame a writer writes. Offsets, sizes, widths and transparencies are
// floats; colours (0xRRGGBB, -1 none), styles and source rectangles 32-bit integers.
struct IAviWatermark : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{C7ED2BBA-A3E7-4EC3-963C-6779AF967051}");
    virtual HRESULT Reset() = 0;                           // [1]
    virtual HRESULT get_VerticalOffset(float* value) = 0;  // [3]
    virtual HRESULT put_VerticalOffset(float value) = 0;
    virtual HRESULT get_HorizontalOffset(float* value) = 0;  // [4]
    virtual HRESULT put_HorizontalOffset(float value) = 0;
    // [5]..[8] Default Transparency 25.
    virtual HRESULT AddImage(BSTR FileName, float OffsetX, float OffsetY, float Transparency) = 0;
    virtual HRESULT AddPicture(IPicture* Picture, float OffsetX, float OffsetY, float Transparency) = 0;
    virtual HRESULT AddStream(IUnknown* Stream, float OffsetX, float OffsetY, float Transparency) = 0;
    virtual HRESULT AddDC(HDC DC, LONG SourceX, LONG SourceY, LONG SourceWidth, LONG SourceHeight,
                          float OffsetX, float OffsetY, float Transparency) = 0;
    // [9] Defaults: FontName "Arial", FontSize 8, colours -1, widths 1, Transparency 25.
    virtual HRESULT AddTitle(BSTR Text, float OffsetX, float OffsetY, BSTR FontName, LONG FontStyle,
                             float FontSize, LONG Color, LONG OutlineColor, float OutlineWidth,
                             LONG GlowColor, float GlowWidth, float Transparency) = 0;
    // [10] Defaults: colours -1, OutlineWidth 1, Transparency 25.
    virtual HRESULT AddRectangle(float OffsetX, float OffsetY, float Width, float Height, LONG SolidColor,
                                 LONG OutlineColor, float OutlineWidth, float Transparency) = 0;
    // [11] Defaults: Width 1, Color 0 (black), Transparency 25.
    virtual HRESULT AddLine(float X1, float Y1, float X2, float Y2, float Width, LONG Color,
                            float Transparency) = 0;
    // [12] Defaults: colours -1, OutlineWidth 1, Transparency 25.
    virtual HRESULT AddEllipse(float CenterX, float CenterY, float RadiusX, float RadiusY, LONG SolidColor,
                               LONG OutlineColor, float OutlineWidth, float Transparency) = 0;
    // [13] Defaults as AddTitle.
    virtual HRESULT AddTimer(float OffsetX, float OffsetY, LONG TimerStyle, LONG StartFrame, BSTR FontName,
                             LONG FontStyle, float FontSize, LONG Color, LONG OutlineColor,
                             float OutlineWidth, LONG GlowColor, float GlowWidth, float Transparency) = 0;
    virtual HRESULT EnableLZW() = 0;  // [999]

  protected:
    ~IAviWatermark() = default;
};

}  // namespace vidmill

// The library's plain exports.
extern "C" {
// kind 1 AviWriter, 2 AviCompressors, 3 free-standing AviCompressor, 4 AviReader; any other kind
// stores null (releasing what *object held).
void AviCreateObject(IDispatch** object, LONG kind);
HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object);
HRESULT DllCanUnloadNow();
HRESULT DllRegisterServer();
HRESULT DllUnregisterServer();
}
