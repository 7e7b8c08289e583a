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

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

// The characters of a code as a number, in memory order ("MSVC" -> 0x4356534D). A code of fewer
// than four characters is padded with blanks ("DIB" -> "DIB "); characters past the fourth are not
// part of it. The one reading of a four-character code for the library, its tool and the program.
constexpr LONG FourCC(std::string_view code) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const auto byte = static_cast<unsigned char>(i < code.size() ? code[i] : ' ');
        value |= static_cast<std::uint32_t>(byte) << (8 * i);
    }
    return static_cast<LONG>(value);
}
static_assert(FourCC("MSVC") == MsVideo1Compressor);
static_assert(FourCC("DIB ") == Uncompressed);
static_assert(FourCC("DIB") == Uncompressed);

// The characters of a code as people read it in messages: trailing blanks dropped, a byte that is
// no printable character as '?' ("DIB " -> "DIB").
inline std::string HandlerText(LONG code) {
    std::string text;
    for (std::size_t i = 0; i < 4; ++i) {
        const auto byte = static_cast<unsigned char>(static_cast<std::uint32_t>(code) >> (8 * i) & 0xFF);
        text += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?';
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

struct IAviWriter;
struct IAviFrames;
struct IAviFrame;
struct IAviCompressors;
struct IAviCompressor;
struct IAviWatermark;

// Each member below says what it does, when it may be called and the texts it fails with: a failing
// member leaves its text (NAME: the file name given) in the thread's error information. "Not writing" is
// "AviWriter object is not in Writing mode. Firstly call CreateNew method"; "not reading" is "AviReader
// object is not in Reading mode. Firstly call Open method"; a member marked "open only" fails with the
// latter while the reader is closed. A null out pointer gives E_POINTER.

// Opens an AVI file read-only and hands out its frames and sound track. Closed until Open succeeds.
struct IAviReader : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{DE3E836D-A6FE-4C95-A6C5-4158114AC5B8}");
    // [1] Copies the first sound stream, as stored, into a WAV file. Open only. "AVI file does not contain
    // sound track", "Cannot write over the AVI file being read "NAME"" (the name reaches the open file,
    // through links or ".."), "Cannot create WAV file "NAME"", "Cannot read AVI sound track format|stream".
    // The WAV file is written aside and renamed into place when complete: a failure leaves a file that
    // had the name as it was.
    virtual HRESULT ExtractWav(BSTR WavFileName) = 0;
    // [2] Opens the file. Closed only: "Cannot open AVI in reading mode. Call Close method firstly";
    // "Cannot open AVI file NAME: REASON", "Cannot read AVI file header|content". A failed Open leaves it
    // closed.
    virtual HRESULT Open(BSTR FileName) = 0;
    virtual HRESULT Close() = 0;                  // [3] closes the file if one is open; never fails
    virtual HRESULT get_Width(LONG* value) = 0;   // [4] frame width in pixels; open only
    virtual HRESULT get_Height(LONG* value) = 0;  // [5] frame height in pixels; open only
    virtual HRESULT get_CompressorHandler(
        LONG* value) = 0;                          // [12] the video stream's handler code; open only
    virtual HRESULT get_Quality(LONG* value) = 0;  // [13] the video stream's stored quality; open only
    virtual HRESULT get_FramesPerSecond(double* value) = 0;  // [14] the video stream's rate; open only
    virtual HRESULT get_BytesPerSecond(LONG* value) = 0;     // [16] the file's maximum data rate; open only
    virtual HRESULT get_IsOpen(VARIANT_BOOL* value) = 0;     // [17] whether a file is open; never fails
    virtual HRESULT get_Frames(IAviFrames** value) = 0;  // [15] the same collection every time, open or not

  protected:
    ~IAviReader() = default;
};

// The frames of one reader. Every member that reads a frame fails as the reader's frame reading does:
// not reading, "Cannot read AVI file because AVI does not contain video frames", "Cannot decompress AVI file
// content" (an index outside 0 .. Count - 1 included), "Cannot decompress AVI file content. Install
// corresponding compressor"; and "AviReader object already freed" once the reader is gone.
struct IAviFrames : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{233E20C2-2FF0-4292-84BD-0BB95147675E}");
    virtual HRESULT get__NewEnum(IUnknown** value) = 0;  // [-4] a new enumerator of the frames from the first
    // [18] Saves FrameCount frames from FrameStartIndex as prefix + number (zero-padded to SequenceDigitCount
    // digits) + postfix, numbered from SequenceStartNumber; fails as SaveFile does, at the first frame that
    // fails (the files before stay). A name of the sequence that reaches the file being read fails it before
    // any file is written. FrameCount 0 or less saves nothing and succeeds. Defaults: SequenceDigitCount 3,
    // JpegQuality -1.
    virtual HRESULT SaveSeq(LONG FrameStartIndex, LONG FrameCount, BSTR FileNamePrefix, BSTR FileNamePostfix,
                            LONG SequenceDigitCount, LONG SequenceStartNumber, LONG FileFormat,
                            LONG JpegQuality, LONG TiffCompression, LONG TiffColorDepth, LONG Width,
                            LONG Height) = 0;
    virtual HRESULT get_Item(LONG Index,
                             IAviFrame** value) = 0;  // [0] default member; any index (checked on use)
    virtual HRESULT get_Count(LONG* value) = 0;       // [1] the frames of the open file; not reading
    virtual HRESULT EnableLZW() = 0;                  // [999] allows GIF and LZW TIFF; never fails

  protected:
    ~IAviFrames() = default;
};

// One frame of a reader, by index. Reading the frame fails as IAviFrames says.
struct IAviFrame : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{A98487D9-3178-4701-A2D1-2881216A3A01}");
    // [9] The frame as a new picture the caller owns; later reads of the reader do not change it.
    virtual HRESULT Picture(IPicture** value) = 0;
    // [8] Draws the frame into DC at X, Y, stretched to Width x Height (0 or less: the frame's own size).
    virtual HRESULT Draw(HDC DC, LONG X, LONG Y, LONG Width, LONG Height) = 0;
    // [10] Saves the frame as an image file, resized to Width x Height when given. "Invalid FileFormat
    // parameter", "Cannot write over the AVI file being read "NAME"", "Cannot save image file "NAME"",
    // "Invalid image size", the GIF and LZW texts without EnableLZW, "In this version only 24 and 32 bit
    // TIFF files are supported". Default JpegQuality -1. The file is written aside and renamed into place
    // when complete: a failure leaves a file that had the name as it was.
    virtual HRESULT SaveFile(BSTR FileName, LONG FileFormat, LONG JpegQuality, LONG TiffCompression,
                             LONG TiffColorDepth, LONG Width, LONG Height) = 0;
    // [7] As SaveFile into an IStream, always at the frame's own size; "Interface not supported" for no
    // stream, "Cannot save image to stream". Default JpegQuality -1.
    virtual HRESULT SaveStream(IUnknown* Stream, LONG FileFormat, LONG JpegQuality, LONG TiffCompression,
                               LONG TiffColorDepth, LONG Width, LONG Height) = 0;
    // [11] Adds the frame to a writer as its AddFrame does (stretched, or 1:1 from the top-left corner);
    // "Parameter Write of WriteFrame method is empty" for no writer, and the writer's own failures.
    virtual HRESULT Write(IAviWriter* Writer, VARIANT_BOOL Stretch) = 0;
    virtual HRESULT get_Index(LONG* value) = 0;  // [1] the index it was made for; never fails
    virtual HRESULT EnableLZW() = 0;             // [999] allows GIF and LZW TIFF; never fails

  protected:
    ~IAviFrame() = default;
};

// Creates a new AVI file and appends frames and one sound track. Closed until CreateNew succeeds, then
// in writing mode until Close. Members that add a frame fail with "not writing" when closed, with
// "Cannot write AVI frame" when the frame cannot be written (the frames before stay in the file).
// Properties may be set at any time and take effect at the next CreateNew.
struct IAviWriter : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{9B98DC8D-EF13-4E52-8FD7-0C79C55830C3}");
    // [1] Creates the file (replacing a file of that name) and enters writing mode. "Cannot create new AVI in
    // writing mode. Call Close method firstly", "Invalid Width|Height parameter of CreateNew method call",
    // "Cannot create AVI file "NAME": REASON" (the system's reason; "it is not a regular file" for a
    // device or pipe of that name), "Cannot create AVI stream", "Selected compressor cannot be used for
    // compression because: ..."; a cancelled options dialog gives "Operation aborted" and stays closed.
    virtual HRESULT CreateNew(BSTR FileName, LONG Width, LONG Height, HWND ParentWindow) = 0;
    // [2] Completes the file and leaves writing mode, also when completing fails ("Cannot write AVI file",
    // "Cannot write AVI audio stream", "Cannot read WAV audio stream"); closed: does nothing.
    virtual HRESULT Close() = 0;
    virtual HRESULT get_IsOpen(VARIANT_BOOL* value) = 0;  // [3] whether in writing mode; never fails
    // [4] Adds an image file as a frame (stretched, or at its own size from the top-left); a file that cannot
    // be read gives a black frame; the GIF and LZW texts without EnableLZW. Default Stretch true.
    virtual HRESULT AddImage(BSTR FileName, VARIANT_BOOL Stretch) = 0;
    // [6] Draws a picture over the last frame and adds it; "Picture parameter of AddPicture method is empty".
    // Default Stretch true.
    virtual HRESULT AddPicture(IPicture* Picture, VARIANT_BOOL Stretch) = 0;
    // [7] Takes the first sound stream of a WAV or AVI file as stored, cut at the last frame written with
    // CutWav; writing only, once per file. "WAV file "NAME" not found", "Sound track is already written to
    // AVI file", "Cannot open WAV file", "Cannot read WAV file content|format", "Cannot create AVI audio
    // stream". Default CutWav true.
    virtual HRESULT AddWav(BSTR FileName, VARIANT_BOOL CutWav) = 0;
    // [10] The writer's compressor list, the same one while anyone holds it.
    virtual HRESULT get_Compressors(IAviCompressors** value) = 0;
    virtual HRESULT get_CompressorHandler(LONG* value) = 0;   // [11] default "MSVC"; 0 asks in the dialog
    virtual HRESULT put_CompressorHandler(LONG value) = 0;    //      any code; checked at CreateNew
    virtual HRESULT get_Quality(LONG* value) = 0;             // [12] default 7000
    virtual HRESULT put_Quality(LONG value) = 0;              //      clamped to 0 .. 10000
    virtual HRESULT get_ShowDialog(VARIANT_BOOL* value) = 0;  // [13] default false
    virtual HRESULT put_ShowDialog(VARIANT_BOOL value) = 0;   //      true: CreateNew shows the options dialog
    virtual HRESULT get_FramesPerSecond(double* value) = 0;   // [14] default 25
    virtual HRESULT put_FramesPerSecond(double value) = 0;    //      negative values stored as 0
    virtual HRESULT get_KeyFrameRate(LONG* value) = 0;        // [15] default 0: the encoder's own choice
    virtual HRESULT put_KeyFrameRate(LONG value) = 0;         //      also applies while writing
    virtual HRESULT get_BytesPerSecond(LONG* value) = 0;      // [16] default 0: no data rate limit
    virtual HRESULT put_BytesPerSecond(LONG value) = 0;
    // [17] Copies a rectangle of a device context, stretched to the frame, and adds it (a width or height
    // below 1 takes the frame's); "Invalid SourceHDC parameter of AddFrame method".
    virtual HRESULT AddFrame(HDC SourceDC, LONG SourceX, LONG SourceY, LONG SourceWidth,
                             LONG SourceHeight) = 0;
    // [5] Adds every image file matching the mask's name (* and ?, any case), in name order or reversed, as
    // AddImage does; nothing matching adds nothing.
    virtual HRESULT AddImages(BSTR FileMask, VARIANT_BOOL Stretch, VARIANT_BOOL ReverseOrder) = 0;
    // [9] Adds every frame of an AVI file through its frame's Write, and with AddSoundTrack its sound as
    // AddWav(FileName, true); fails as the reader's Open and frames do. Defaults: Stretch true, ReverseOrder
    // false, AddSoundTrack false.
    virtual HRESULT AddAvi(BSTR FileName, VARIANT_BOOL Stretch, VARIANT_BOOL ReverseOrder,
                           VARIANT_BOOL AddSoundTrack) = 0;
    // [8] As AddImage from the image bytes of an IStream; no or an unreadable stream gives a black frame.
    // Default Stretch true.
    virtual HRESULT AddStream(IUnknown* Stream, VARIANT_BOOL Stretch) = 0;
    virtual HRESULT get_Watermark(
        IAviWatermark** value) = 0;  // [18] the writer's one watermark, drawn on every frame
    virtual HRESULT get_InterFrames(
        LONG* value) = 0;                             // [19] frames blended between two added ones; default 0
    virtual HRESULT put_InterFrames(LONG value) = 0;  //      negative stored as 0; ignored while writing
    virtual HRESULT EnableLZW() = 0;                  // [999] allows GIF and LZW TIFF; never fails

  protected:
    ~IAviWriter() = default;
};

// The video compressors that can write AVI frames here, one at a time through Current. Never fails.
struct IAviCompressors : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{88DAAEB5-59FC-4800-B554-83068F0C8FE7}");
    virtual HRESULT Reset() = 0;                    // [1] to the first compressor
    virtual HRESULT Next(VARIANT_BOOL* value) = 0;  // [2] to the next handler code; false past the last
    virtual HRESULT get_Current(
        IAviCompressor** value) = 0;                     // [3] the current one; IsValid false past the end
    virtual HRESULT get__NewEnum(IUnknown** value) = 0;  // [-4] the enumeration's own IEnumVARIANT

  protected:
    ~IAviCompressors() = default;
};

// One video compressor: an entry of the list, or free-standing with a Handler of its own choosing.
struct IAviCompressor : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{9F447D27-A9F8-42AE-A18D-3153660A9759}");
    virtual HRESULT get_IsValid(VARIANT_BOOL* value) = 0;  // [3] whether the handler names a compressor
    virtual HRESULT get_Name(BSTR* value) = 0;             // [7] "" when not valid
    virtual HRESULT get_Description(BSTR* value) = 0;      // [8] "" when not valid
    virtual HRESULT get_Driver(BSTR* value) = 0;           // [9] the library that encodes; "" when not valid
    virtual HRESULT get_Version(LONG* value) = 0;          // [10] major << 16 | minor << 8 | micro
    virtual HRESULT get_SupportsQuality(VARIANT_BOOL* value) = 0;  // [12]
    virtual HRESULT get_SupportsAbout(VARIANT_BOOL* value) = 0;    // [13]
    virtual HRESULT get_SupportsDraw(VARIANT_BOOL* value) = 0;     // [15]
    virtual HRESULT get_Handler(LONG* value) = 0;                  // [1] its four-character code
    // Describes the compressor of that code (not valid when there is none). Inside the list's enumeration:
    // "Cannot set handler for AviCompressor inside AviCompressor enumeration. Create standalone ..."
    virtual HRESULT put_Handler(LONG value) = 0;
    virtual HRESULT About(HWND ParentWindow, VARIANT_BOOL* value) = 0;  // [2] shows nothing; false
    virtual HRESULT get_DefaultKeyFrameRate(LONG* value) = 0;           // [5]
    virtual HRESULT get_DefaultQuality(LONG* value) = 0;                // [6]
    // [201] Whether its encoder codes a 320 x 200 frame that decodes back: checked once per FFmpeg build
    // and remembered in the user's cache folder, so that asking every entry of the list stays quick.
    virtual HRESULT get_SupportsWriting(VARIANT_BOOL* value) = 0;
    // [202] Whether it writes frames of Width x Height: one frame is coded and decoded back, in a child
    // process, so that an encoder that crashes or hangs on the size cannot take the caller down (the answer
    // is remembered per size). "The compressor NAME (CODE) cannot write W x H frames: REASON";
    // "No installed compressor has this handler code" when not valid.
    virtual HRESULT CheckFrameSize(LONG Width, LONG Height) = 0;

  protected:
    ~IAviCompressor() = default;
};

// Items drawn over every frame a writer writes, in the order added, shifted as a whole by the two
// offsets. Offsets, sizes, widths and transparencies (percent) are floats; colours (0xRRGGBB, -1 none),
// styles and source rectangles 32-bit integers. An image that cannot be read gives an item that draws
// nothing; adding fails only for the GIF and LZW texts without EnableLZW and with a picture's own failure.
struct IAviWatermark : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{C7ED2BBA-A3E7-4EC3-963C-6779AF967051}");
    virtual HRESULT Reset() = 0;                           // [1] removes every item; the offsets stay
    virtual HRESULT get_VerticalOffset(float* value) = 0;  // [3]
    virtual HRESULT put_VerticalOffset(float value) = 0;
    virtual HRESULT get_HorizontalOffset(float* value) = 0;  // [4]
    virtual HRESULT put_HorizontalOffset(float value) = 0;
    // [5]..[8] An image from a file, a picture, the bytes of an IStream, or a copy of a device context's
    // rectangle taken now. Default Transparency 25.
    virtual HRESULT AddImage(BSTR FileName, float OffsetX, float OffsetY, float Transparency) = 0;
    virtual HRESULT AddPicture(IPicture* Picture, float OffsetX, float OffsetY, float Transparency) = 0;
    virtual HRESULT AddStream(IUnknown* Stream, float OffsetX, float OffsetY, float Transparency) = 0;
    virtual HRESULT AddDC(HDC DC, LONG SourceX, LONG SourceY, LONG SourceWidth, LONG SourceHeight,
                          float OffsetX, float OffsetY, float Transparency) = 0;
    // [9] A line of text. Defaults: FontName "Arial", FontSize 8, colours -1, widths 1, Transparency 25.
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
    // [13] A title of the video time or frame (of the writer's frame counter plus StartFrame), or of the
    // time or date now (TimerStyleConstants). Defaults as AddTitle.
    virtual HRESULT AddTimer(float OffsetX, float OffsetY, LONG TimerStyle, LONG StartFrame, BSTR FontName,
                             LONG FontStyle, float FontSize, LONG Color, LONG OutlineColor,
                             float OutlineWidth, LONG GlowColor, float GlowWidth, float Transparency) = 0;
    virtual HRESULT EnableLZW() = 0;  // [999] allows GIF and LZW TIFF; never fails

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
