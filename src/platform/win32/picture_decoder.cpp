#include "platform/win32/picture_decoder.h"

#include <windows.h>

#include <objbase.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace zel {
namespace {

// An interface pointer released when it goes.
template <typename T>
class Com {
 public:
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (p_) p_->Release();
  }
  T** Out() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// COM once for each thread that decodes; it stays until the thread ends. A thread that
// has it already, in another model, serves as well.
bool ComReady() {
  thread_local const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  return SUCCEEDED(result) || result == RPC_E_CHANGED_MODE;
}

// The orientation a phone wrote into a JPEG's EXIF data, as WIC's metadata reader gives it;
// Wine's gives none, so the file's own APP1 segment is read then. 1 (as stored) without one.
int JpegOrientation(IWICBitmapFrameDecode* frame, std::string_view bytes) {
  Com<IWICMetadataQueryReader> metadata;
  if (SUCCEEDED(frame->GetMetadataQueryReader(metadata.Out())) && metadata) {
    PROPVARIANT value;
    PropVariantInit(&value);
    int orientation = 0;
    if (SUCCEEDED(metadata->GetMetadataByName(L"/app1/ifd/{ushort=274}", &value)) && value.vt == VT_UI2)
      orientation = value.uiVal;
    PropVariantClear(&value);
    if (orientation >= 1 && orientation <= 8) return orientation;
  }
  return JpegExifOrientation(bytes).value_or(1);
}

// Wine's decoders allocate for the whole picture and decode it as soon as they are made,
// JPEG too (though Windows' own JPEG decoder could scale while decoding): a JPEG is held to
// the same memory as any picture decoded whole, about 40 megapixels, where Linux takes more.
PictureLimits LimitsFor(int allocationLimitMb) {
  PictureLimits limits;
  limits.jpegPixels = (static_cast<long long>(allocationLimitMb) << 20) / 4;
  limits.inflatedPixels = std::min(limits.inflatedPixels, limits.jpegPixels);
  return limits;
}

std::optional<PackedDib> Decode(std::string_view bytes, int maxSide, int allocationLimitMb, bool& tooLarge) {
  const bool jpeg = IsJpegFile(bytes);
  if (!ComReady()) return std::nullopt;

  Com<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Out()))))
    return std::nullopt;
  // The stream reads the caller's bytes in place; nothing writes to them.
  Com<IWICStream> stream;
  if (FAILED(factory->CreateStream(stream.Out())) ||
      FAILED(stream->InitializeFromMemory(
          reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), static_cast<DWORD>(bytes.size()))))
    return std::nullopt;
  Com<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.Out())))
    return std::nullopt;
  Com<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, frame.Out()))) return std::nullopt;

  UINT fullWidth = 0, fullHeight = 0;
  if (FAILED(frame->GetSize(&fullWidth, &fullHeight)) || fullWidth == 0 || fullHeight == 0 ||
      fullWidth > 0x7FFFFFFF || fullHeight > 0x7FFFFFFF)
    return std::nullopt;
  const PictureSize full{static_cast<int>(fullWidth), static_cast<int>(fullHeight)};
  // Shrunk as it is read, so the program never holds a large photo at its full size (Wine's
  // decoders do, meanwhile: the limit bounds that). The size is before the orientation is
  // applied; only its longest side matters here.
  const PictureSize wanted = DecodedSize(full, maxSide);
  if (!FitsAllocationLimit(full, allocationLimitMb)) {  // a form no container judgement reads
    tooLarge = true;
    return std::nullopt;
  }

  // Premultiplied, a pixel over white is its colour plus the white that shows through, and
  // averages of pixels are right whatever their transparency.
  Com<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                   nullptr, 0.0, WICBitmapPaletteTypeCustom)))
    return std::nullopt;
  const UINT outStride = static_cast<UINT>(wanted.width) * 4;
  std::vector<uint8_t> pixels(static_cast<size_t>(outStride) * static_cast<size_t>(wanted.height));
  if (wanted == full) {
    if (FAILED(converter->CopyPixels(nullptr, outStride, static_cast<UINT>(pixels.size()), pixels.data())))
      return std::nullopt;
  } else {
    // Shrunk smoothly band by band, each output row from the rows that fall to it. (WIC's
    // IWICBitmapScaler would do, but Wine's picks the nearest pixel in every mode.)
    const UINT stride = fullWidth * 4;
    std::vector<uint8_t> band;
    for (int row = 0; row < wanted.height; ++row) {
      const RowSpan rows = RowsOfShrunkRow(row, wanted.height, full.height);
      const WICRect rect{0, rows.first, full.width, rows.end - rows.first};
      band.resize(static_cast<size_t>(stride) * static_cast<size_t>(rect.Height));
      if (FAILED(converter->CopyPixels(&rect, stride, static_cast<UINT>(band.size()), band.data())))
        return std::nullopt;
      ShrinkBand(band.data(), stride, full.width, rect.Height, wanted.width,
                 pixels.data() + static_cast<size_t>(outStride) * static_cast<size_t>(row));
    }
  }
  // Phones store photos sideways with an EXIF orientation; the picture is turned upright as
  // it is packed (Wine's IWICBitmapFlipRotator does only the vertical flip).
  const int orientation = jpeg ? JpegOrientation(frame.get(), bytes) : 1;
  return PackOverWhite(pixels.data(), outStride, wanted.width, wanted.height, orientation);
}

}  // namespace

DecodedPicture DecodePictureBytes(std::string_view bytes, int maxSide, int allocationLimitMb) {
  if (bytes.empty() || maxSide < 1 || bytes.size() > std::numeric_limits<DWORD>::max()) return {};
  switch (JudgePicture(bytes, LimitsFor(allocationLimitMb))) {
    case PictureVerdict::Readable: break;
    case PictureVerdict::Damaged: return {};
    case PictureVerdict::TooLarge: return {std::nullopt, true};
  }
  DecodedPicture decoded;
  decoded.picture = Decode(bytes, maxSide, allocationLimitMb, decoded.tooLarge);
  return decoded;
}

}  // namespace zel
