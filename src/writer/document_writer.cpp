#include "writer/document_writer.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <new>

#include "platform/file_system.h"
#include "platform/local_time.h"
#include "platform/product.h"
#include "writer/code_page.h"
#include "writer/color_table.h"
#include "writer/font_table.h"
#include "writer/pdf_string.h"
#include "writer/transition_table.h"
#include "writer/writer_error.h"

namespace vellumox {

namespace {

std::string Reference(int32_t n) {
  return std::to_string(n) + " 0 R";
}

// A font name as a PDF name: characters that a name cannot hold literally are written as #xx.
// The names of the font table pass unchanged.
std::string PdfNameText(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    bool delimiter = c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' ||
                     c == '{' || c == '}' || c == '/' || c == '%' || c == '#';
    if (c < 0x21 || c > 0x7E || delimiter) {
      out += '#';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace

void DocumentWriter::ReportError(const std::string& description) {
  failed_ = true;
  if (failure_.kind == FailureKind::kNone) failure_ = {FailureKind::kError, description};
}

void DocumentWriter::WarnOnce(std::string_view kind, std::string text) {
  if (std::find(warned_kinds_.begin(), warned_kinds_.end(), kind) != warned_kinds_.end()) return;
  warned_kinds_.emplace_back(kind);
  warnings_.push_back(std::move(text));
}

void DocumentWriter::ReportStopped() {
  failed_ = true;
  if (failure_.kind == FailureKind::kNone)
    failure_ = {FailureKind::kStopped, "The conversion was stopped."};
}

template <class Body>
void DocumentWriter::Trapped(Body&& body) {
  try {
    body();
  } catch (const std::bad_alloc&) {
    ReportError("Out of memory.");
  } catch (const std::exception& e) {
    ReportError(e.what());
  }
}

void DocumentWriter::BeginObject(int32_t n) {
  objects_.MarkWritten(n, out_.Offset());
  EmitLine(std::to_string(n) + " 0 obj");
}

void DocumentWriter::EmitStreamKeyword() {
  // A strict reader wants a line feed after "stream"; a carriage return alone is not enough
  // there, so this is the one place where the file holds one.
  out_.EmitBytes("stream\r\n");
}

void DocumentWriter::AddLinesOnPage(double lines) {
  state_.LineOnPage = static_cast<int32_t>(std::min<double>(
      static_cast<double>(state_.LineOnPage) + lines, std::numeric_limits<int32_t>::max() / 2));
}

void DocumentWriter::Initialize(const ConversionSettings& s) {
  WriterState& st = state_;
  st = WriterState();
  st.UseTextFormating = s.UseTextFormating;
  st.TransitionMode = s.TransitionMode;
  st.FullScreen = s.FullScreen;
  st.Compress = s.Compress;
  st.PageHeight = RoundToInt32(72.0 * s.pheight).value_or(0);
  st.PageWidth = RoundToInt32(72.0 * s.pwidth).value_or(0);
  st.FontName = s.FontName;
  st.FontIndex = FontIndexOf(s.FontName);
  st.FontSize = Fixed4::FromInt(s.FontSize);
  st.Leading = Fixed4::FromDouble(s.FontSize * 1.2);
  st.Rotation = s.Rotation;
  st.TopMarginPt = RoundToInt32(72.0 * s.TopMargin).value_or(0);
  if (st.Leading.ticks() != 0) {
    // Divided exactly: the leading has four decimals, so an exact half (7.5 lines) is seen as
    // one and goes to the even neighbour.
    st.LinesPerPage = DivideRoundHalfEven(
        (static_cast<int64_t>(st.PageHeight) - 2 * static_cast<int64_t>(st.TopMarginPt)) *
            Fixed4::kScale,
        st.Leading.ticks());
  }
  st.LeftMarginPt = RoundToInt32(s.Margin * 72.0).value_or(0);
  if (s.FontSize != 0) {
    double k = FontWidthFactor(s.FontName);
    auto chars = RoundToInt32(k * st.PageWidth / s.FontSize);
    if (chars) st.CharsPerLine = *chars + 20 - st.LeftMarginPt / 2;
  }
  st.GlyphWidths = &GlyphWidthsOf(st.FontIndex);
  // A text fits when the sum of glyph width x font size is not above 1000 x the room; with a
  // font size of 0 or less every glyph is 0 wide, and only the room counts.
  const int64_t room = 1000 * (static_cast<int64_t>(st.PageWidth) - 2 * st.LeftMarginPt);
  st.LineWidthLimit =
      s.FontSize > 0 ? (room < 0 ? -1 : room / s.FontSize) : (room < 0 ? -1 : INT64_MAX);
  stream_start_ = 0;
  st.ShowPageNum = s.ShowPageNum;
  st.ForeColor = std::string(ColorOperands(s.ForeColorIndex));
  st.BackColor = std::string(ColorOperands(s.BackColorIndex));
  objects_.Reset();
  placements_.clear();
  st.PageCentre = st.PageWidth / 2.0;
  st.PageNumberY = 25;
  st.PageCount = 0;
  st.TextAuthor = PlatformTextToWindows1252(s.TextAuthor);
  st.TextCreator = PlatformTextToWindows1252(s.TextCreator);
  st.TextKeywords = PlatformTextToWindows1252(s.TextKeywords);
  st.TextSubject = PlatformTextToWindows1252(s.TextSubject);
  st.TextTitle = PlatformTextToWindows1252(s.TextTitle);
  st.OutputFile = s.outputfile;
  // An earlier file of the output's name stays untouched until the new one is complete.
  out_.SetMaxSize(size_limit_);
  out_.Reset(s.outputfile);
  failed_ = false;
  failure_ = DocumentFailure();
  warnings_.clear();
  warned_kinds_.clear();
}

// Every number of the document's frame is handed out here, before the first object is written:
// the information, the catalog and the page tree, the fonts, the encoding, the shared resources
// and the pictures. The pages follow.
void DocumentWriter::ReserveDocumentObjects(size_t image_count) {
  DocumentObjects& o = state_.Objects;
  o.info = objects_.Reserve();
  o.catalog = objects_.Reserve();
  o.pages = objects_.Reserve();
  o.first_font = objects_.ReserveRange(kFontCount + 1);
  o.encoding = objects_.Reserve();
  o.resources = objects_.Reserve();
  o.first_image = objects_.ReserveRange(static_cast<int32_t>(image_count));
}

void DocumentWriter::StartPDF() {
  Trapped([&] {
    WriterState& st = state_;
    out_.Open();
    EmitLine("%PDF-1.3");
    // The pictures are converted first, so that the resources name exactly those that have an
    // object, each with its number.
    std::vector<ImageObject> images;
    if (images_) images = images_->PrepareImages();
    ReserveDocumentObjects(images.size());

    BeginObject(st.Objects.info);
    EmitLine("<<");
    EmitLine("/Author " + PdfTextString(st.TextAuthor));
    EmitLine("/CreationDate (D:" + LocalTimestamp() + ")");
    EmitLine("/Creator " + PdfTextString(st.TextCreator));
    EmitLine("/Producer (" + ProductTitle() + ")");
    EmitLine("/Title " + PdfTextString(st.TextTitle));
    EmitLine("/Subject " + PdfTextString(st.TextSubject));
    EmitLine("/Keywords " + PdfTextString(st.TextKeywords));
    EmitLine(">>");
    EmitLine("endobj");

    WriteFonts();
    BeginObject(st.Objects.encoding);
    EmitLine("<<");
    EmitLine("/Type /Encoding");
    EmitLine("/BaseEncoding /WinAnsiEncoding");
    EmitLine(">>");
    EmitLine("endobj");

    WriteResources(images);
    for (size_t k = 0; k < images.size(); ++k) {
      if (!WriteImageObject(st.Objects.first_image + static_cast<int32_t>(k), images[k])) break;
    }
  });
}

void DocumentWriter::WriteFonts() {
  const WriterState& st = state_;
  const std::string encoding_ref = "/Encoding " + Reference(st.Objects.encoding);
  for (int i = 0; i <= kFontCount; ++i) {
    BeginObject(st.Objects.first_font + i);
    EmitLine("<<");
    EmitLine("/Type /Font");
    EmitLine("/Subtype /Type1");
    EmitLine("/Name /F" + std::to_string(i));
    EmitLine(encoding_ref);
    // F0 is the document's font; F1 to F20 are the font table's.
    EmitLine("/BaseFont /" +
             (i == 0 ? PdfNameText(st.FontName) : std::string(FontTable[i - 1].name)));
    EmitLine(">>");
    EmitLine("endobj");
  }
}

void DocumentWriter::WriteResources(const std::vector<ImageObject>& images) {
  const WriterState& st = state_;
  BeginObject(st.Objects.resources);
  EmitLine("<<");
  EmitLine("/Font <<");
  for (int i = 0; i <= kFontCount; ++i) {
    EmitLine("  /F" + std::to_string(i) + " " + Reference(st.Objects.first_font + i));
  }
  EmitLine(">>");
  EmitLine("  /ProcSet [ /PDF /Text /ImageC ]");
  if (!images.empty()) {
    EmitLine("  /XObject << ");
    for (size_t k = 0; k < images.size(); ++k) {
      EmitLine("  /" + images[k].name + " " +
               Reference(st.Objects.first_image + static_cast<int32_t>(k)));
    }
    EmitLine("  >>");
  }
  EmitLine(">>");
  EmitLine("endobj");
}

bool DocumentWriter::WriteImageObject(int32_t n, const ImageObject& image) {
  const int64_t size = FileLength(image.jpeg_path);
  if (size < 1) {
    // The JPEG vanished after it was made; its number was promised, so the document fails.
    ReportError("Cannot read the picture '" + image.source + "'.");
    return false;
  }
  BeginObject(n);
  EmitLine("<< /Type /XObject /Subtype /Image /Name /" + image.name + " /Filter [ /DCTDecode ]");
  EmitLine("   /Width " + std::to_string(image.width) + " /Height " + std::to_string(image.height) +
           " /BitsPerComponent 8 /ColorSpace " + (image.grey ? "/DeviceGray" : "/DeviceRGB") +
           " /Length " + std::to_string(size));
  EmitLine(">>");
  EmitStreamKeyword();
  out_.EmitFileContents(image.jpeg_path, size);
  out_.EmitBytes("\rendstream\r");
  EmitLine("");
  EmitLine("endobj");
  return true;
}

void DocumentWriter::EndPDF() {
  Trapped([&] {
    WriterState& st = state_;
    BeginObject(st.Objects.catalog);
    EmitLine("<<");
    EmitLine("/Type /Catalog");
    EmitLine("/Pages " + Reference(st.Objects.pages));
    if (st.FullScreen) EmitLine("/PageMode /FullScreen");
    EmitLine("/PageLayout /OneColumn");
    EmitLine(">>");
    EmitLine("endobj");

    BeginObject(st.Objects.pages);
    EmitLine("<<");
    EmitLine("/Type /Pages");
    EmitLine("/Count " + std::to_string(st.PageCount));
    EmitLine("/MediaBox [ 0 0 " + FormatNumber(st.PageWidth) + " " + FormatNumber(st.PageHeight) +
             " ]");
    std::string kids;
    kids.reserve(12 * st.PageObjectNumbers.size() + 16);
    kids += "/Kids [ ";
    for (size_t k = 0; k < st.PageObjectNumbers.size(); ++k) {
      if (k > 0) kids += ' ';
      kids += Reference(st.PageObjectNumbers[k]);
    }
    kids += " ]";
    EmitLine(kids);
    EmitLine(">>");
    EmitLine("endobj");

    objects_.CheckAllWritten();
    const int64_t xref = out_.Offset();
    const int32_t count = objects_.ObjectCount();
    EmitLine("xref");
    EmitLine("0 " + std::to_string(count + 1));
    EmitLine("0000000000 65535 f ");
    char entry[32];
    for (int32_t n = 1; n <= count; ++n) {
      std::snprintf(entry, sizeof entry, "%010lld 00000 n ",
                    static_cast<long long>(objects_.Offset(n)));
      EmitLine(entry);
    }
    EmitLine("trailer");
    EmitLine("<<");
    EmitLine("/Size " + std::to_string(count + 1));
    EmitLine("/Root " + Reference(st.Objects.catalog));
    EmitLine("/Info " + Reference(st.Objects.info));
    EmitLine(">>");
    EmitLine("startxref");
    EmitLine(std::to_string(xref));
    EmitLine("%%EOF", true);
    if (failed_) {
      out_.Discard();
    } else {
      out_.Commit();
    }
  });
  if (failed_) out_.Discard();
}

void DocumentWriter::StartPage() {
  Trapped([&] {
    WriterState& st = state_;
    placements_.clear();
    st.VerticalCursor = static_cast<float>(st.TopMarginPt);
    // The page, its content stream, the stream's length and the contents array; the placement
    // streams get theirs when the page ends.
    PageObjects& p = st.Page;
    p.page = objects_.Reserve();
    p.contents = objects_.Reserve();
    p.length = objects_.Reserve();
    p.array = objects_.Reserve();

    BeginObject(p.page);
    st.PageCount += 1;
    st.PageObjectNumbers.push_back(p.page);
    EmitLine("<<");
    EmitLine("/Type /Page");
    EmitLine("/Parent " + Reference(st.Objects.pages));
    EmitLine("/Resources " + Reference(st.Objects.resources));
    EmitLine("/Contents " + Reference(p.array));
    EmitLine("/Rotate " + std::to_string(st.Rotation));
    std::string transition = TransitionLine(st.TransitionMode);
    if (!transition.empty()) EmitLine(transition);
    EmitLine(">>");
    EmitLine("endobj");

    BeginObject(p.contents);
    EmitLine("<<");
    EmitLine("/Length " + Reference(p.length));
    if (st.Compress) EmitLine("/Filter /FlateDecode");
    EmitLine(">>");
    EmitStreamKeyword();
    stream_start_ = out_.Offset();
    if (st.Compress) out_.BeginCompressed();

    const std::string width = FormatNumber(st.PageWidth);
    EmitLine(st.BackColor + " rg");
    EmitLine("0 0 m");
    EmitLine(width + " 0 l");
    EmitLine(width + " " + FormatNumber(st.PageHeight) + " l");
    EmitLine("0 " + std::to_string(st.PageHeight) + " l");
    EmitLine("0 0 l");
    EmitLine("f");
    EmitLine("BT");
    EmitLine(st.ForeColor + " rg");
    EmitLine("/F0 " + FormatNumber(st.FontSize) + " Tf");
    EmitLine("1 0 0 1 " + FormatNumber(st.LeftMarginPt) + " " +
             FormatNumber(st.PageHeight - st.TopMarginPt) + " Tm");
    EmitLine(FormatNumber(st.Leading) + " TL");
  });
}

void DocumentWriter::EndPage() {
  Trapped([&] {
    WriterState& st = state_;
    if (st.ShowPageNum) {
      EmitLine("1 0 0 1 " + FormatNumber(st.PageCentre) + " " + FormatNumber(st.PageNumberY) +
               " Tm");
      EmitLine("(" + std::to_string(st.PageCount) + ") Tj");
      EmitLine("/F0 " + FormatNumber(st.FontSize) + " Tf");
    }
    EmitLine("ET q");
    if (st.Compress) out_.EndCompressed();
    const int64_t end = out_.Offset();
    // Compressed data ends with no line end of its own; one goes before "endstream".
    if (st.Compress) EmitLine("");
    EmitLine("endstream");
    EmitLine("endobj");

    const PageObjects& p = st.Page;
    BeginObject(p.length);
    EmitLine(std::to_string(end - stream_start_));
    EmitLine("endobj");

    // Each placement: its stream, then the stream's length.
    const int32_t count = PageImageCount();
    const int32_t first_placement = objects_.ReserveRange(2 * count);
    BeginObject(p.array);
    EmitLine("[");
    EmitLine(Reference(p.contents) + " ");
    for (int32_t k = 0; k < count; ++k) EmitLine(Reference(first_placement + 2 * k) + " ");
    EmitLine("]");
    EmitLine("endobj");
    st.LineOnPage = 1;
    for (int32_t k = 0; k < count; ++k) {
      WritePlacementStream(first_placement + 2 * k, first_placement + 2 * k + 1,
                           placements_[static_cast<size_t>(k)]);
    }
  });
}

void DocumentWriter::WritePlacementStream(int32_t stream, int32_t length,
                                          const PlacementRecord& r) {
  BeginObject(stream);
  EmitLine("<<");
  EmitLine("/Length " + Reference(length));
  EmitLine(">>");
  EmitStreamKeyword();
  const int64_t start = out_.Offset();
  // Restores the graphics state that the page's previous stream left saved.
  EmitLine("Q");
  EmitLine("q " + std::to_string(r.width) + " 0 0 " + std::to_string(r.height) + " " +
           std::to_string(r.x) + " " + std::to_string(r.y) + " cm /" + r.name + " Do");
  const int64_t end = out_.Offset();
  EmitLine("endstream");
  EmitLine("endobj");
  BeginObject(length);
  EmitLine(std::to_string(end - start));
  EmitLine("endobj");
}

void DocumentWriter::PageBreak() {
  EndPage();
  StartPage();
}

void DocumentWriter::StartColumn(int32_t& LeftMargin, int32_t& TopMargin) {
  WriterState& st = state_;
  if (TopMargin <= 0 || TopMargin > st.PageHeight) {
    Fixed4 top = Fixed4::FromInt(st.PageHeight) - Fixed4::FromInt(st.TopMarginPt) - st.Leading;
    TopMargin = RoundToInt32(top.ToDouble()).value_or(0);
  }
  st.VerticalCursor = static_cast<float>(TopMargin);
  EmitLine("1 0 0 1 " + FormatNumber(LeftMargin) + " " + FormatNumber(TopMargin) + " Tm");
}

}  // namespace vellumox
