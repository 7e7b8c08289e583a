// TAviWatermark: the component shell of a writer's watermark. It is embedded in its writer and
// lives exactly as long as the writer does.
#pragma once

#include "frame/object_base.h"
#include "watermark/watermark.h"

namespace vidmill {

class TAviWatermark final : public AutoObject<TAviWatermark, IAviWatermark> {
  public:
    // writer: the controlling writer's IUnknown.
    explicit TAviWatermark(IUnknown* writer) : AutoObject(Counting::Embedded, writer) {}

    watermark::Watermark& items() { return watermark_; }
    const watermark::Watermark& items() const { return watermark_; }

    HRESULT Reset() override;
    HRESULT get_VerticalOffset(float* value) override;
    HRESULT put_VerticalOffset(float value) override;
    HRESULT get_HorizontalOffset(float* value) override;
    HRESULT put_HorizontalOffset(float value) override;
    HRESULT AddImage(BSTR FileName, float OffsetX, float OffsetY, float Transparency) override;
    HRESULT AddPicture(IPicture* Picture, float OffsetX, float OffsetY, float Transparency) override;
    HRESULT AddStream(IUnknown* Stream, float OffsetX, float OffsetY, float Transparency) override;
    HRESULT AddDC(HDC DC, LONG SourceX, LONG SourceY, LONG SourceWidth, LONG SourceHeight, float OffsetX,
                  float OffsetY, float Transparency) override;
    HRESULT AddTitle(BSTR Text, float OffsetX, float OffsetY, BSTR FontName, LONG FontStyle, float FontSize,
                     LONG Color, LONG OutlineColor, float OutlineWidth, LONG GlowColor, float GlowWidth,
                     float Transparency) override;
    HRESULT AddRectangle(float OffsetX, float OffsetY, float Width, float Height, LONG SolidColor,
                         LONG OutlineColor, float OutlineWidth, float Transparency) override;
    HRESULT AddLine(float X1, float Y1, float X2, float Y2, float Width, LONG Color,
                    float Transparency) override;
    HRESULT AddEllipse(float CenterX, float CenterY, float RadiusX, float RadiusY, LONG SolidColor,
                       LONG OutlineColor, float OutlineWidth, float Transparency) override;
    HRESULT AddTimer(float OffsetX, float OffsetY, LONG TimerStyle, LONG StartFrame, BSTR FontName,
                     LONG FontStyle, float FontSize, LONG Color, LONG OutlineColor, float OutlineWidth,
                     LONG GlowColor, float GlowWidth, float Transparency) override;
    HRESULT EnableLZW() override;

  private:
    watermark::Watermark watermark_;
};

}  // namespace vidmill
