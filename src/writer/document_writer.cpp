#include "writer/document_writer.h"

#include <ctime>
#include <new>

#include "writer/code_page.h"
#include "writer/color_table.h"
#include "writer/file_operations.h"
#include "writer/font_table.h"
#include "writer/pdf_string.h"
#include "writer/transition_table.h"
#include "writer/writer_error.h"

namespace vellumox {

namespace {

constexpr std::string_view kProducer = "Vellumox PRO+ v1.7";

std::string ObjectLine(int32_t n) {
  return std::to_string(n) + " 0 obj";
}
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

std::string CreationDate() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y%m%d%H%M%S", &local);
  return std::string("D:") + buf;
}

}  // namespace

DocumentWriter::DocumentWriter(UserInteraction& ui) : ui_(ui) {}

void DocumentWriter::ReportError(const std::string& description) {
  failed_ = true;
  if (error_shown_) return;
  error_shown_ = true;
  ui_.ShowMessage(description, MessageIcon::kExclamation);
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

int32_t DocumentWriter::AllocateObject() {
  int32_t n = objects_.Reserve();
  objects_.SetOffset(n, out_.Offset());
  EmitLine(ObjectLine(n));
  return n;
}

void DocumentWriter::EmitStreamKeyword() {
  // A strict reader wants a line feed after "stream"; a carriage return alone is not enough
  // there, so this is the one place where the file holds one.
  out_.EmitBytes("stream\r\n");
}

void DocumentWriter::Initialize(const ConversionSettings& s) {
  WriterState& st = state_;
  st = WriterState();
  st.UseTextFormating = s.UseTextFormating;
  st.TransitionMode = s.TransitionMode;
  st.FullScreen = s.FullScreen;
  st.PageHeight = RoundToInt32(72.0 * s.pheight).value_or(0);
  st.PageWidth = RoundToInt32(72.0 * s.pwidth).value_or(0);
  st.FontName = s.FontName;
  st.FontIndex = FontIndexOf(s.FontName);
  st.FontSize = Fixed4::FromInt(s.FontSize);
  st.Leading = Fixed4::FromDouble(s.FontSize * 1.2);
  st.Rotation = s.Rotation;
  st.TopMarginPt = RoundToInt32(72.0 * s.TopMargin).value_or(0);
  if (st.Leading.ticks() != 0) {
    double lines =
        (static_cast<double>(st.PageHeight) - 2.0 * st.TopMarginPt) / st.Leading.ToDouble();
    st.LinesPerPage = RoundToInt32(lines).value_or(0);
  }
  st.LeftMarginPt = RoundToInt32(s.Margin * 72.0).value_or(0);
  if (s.FontSize != 0) {
    double k = FontWidthFactor(s.FontName);
    auto chars = RoundToInt32(k * st.PageWidth / s.FontSize);
    if (chars) st.CharsPerLine = *chars + 20 - st.LeftMarginPt / 2;
  }
  stream_start_ = 0;
  st.ShowPageNum = s.ShowPageNum;
  st.ForeColor = std::string(ColorOperands(s.ForeColorIndex));
  st.BackColor = std::string(ColorOperands(s.BackColorIndex));
  objects_.Reset();
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
  error_shown_ = false;
}

void DocumentWriter::StartPDF() {
  Trapped([&] {
    WriterState& st = state_;
    out_.Open();
    EmitLine("%PDF-1.3");

    st.InfoObject = AllocateObject();
    EmitLine("<<");
    EmitLine("/Author (" + EscapePdfString(st.TextAuthor) + ")");
    EmitLine("/CreationDate (" + CreationDate() + ")");
    EmitLine("/Creator (" + EscapePdfString(st.TextCreator) + ")");
    EmitLine("/Producer (" + std::string(kProducer) + ")");
    EmitLine("/Title (" + EscapePdfString(st.TextTitle) + ")");
    EmitLine("/Subject (" + EscapePdfString(st.TextSubject) + ")");
    EmitLine("/Keywords (" + EscapePdfString(st.TextKeywords) + ")");
    EmitLine(">>");
    EmitLine("endobj");

    st.CatalogObject = objects_.Reserve();
    st.PagesObject = objects_.Reserve();
    st.EncodingObject = objects_.ObjectCount() + kFontCount + 2;
    st.ResourcesObject = objects_.ObjectCount() + kFontCount + 3;
    const std::string encoding_ref = "/Encoding " + Reference(st.EncodingObject);

    AllocateObject();
    EmitLine("<<");
    EmitLine("/Type /Font");
    EmitLine("/Subtype /Type1");
    EmitLine("/Name /F0");
    EmitLine(encoding_ref);
    EmitLine("/BaseFont /" + PdfNameText(st.FontName));
    EmitLine(">>");
    EmitLine("endobj");
    for (int i = 0; i < kFontCount; ++i) {
      AllocateObject();
      EmitLine("<<");
      EmitLine("/Type /Font");
      EmitLine("/Subtype /Type1");
      EmitLine("/Name /F" + std::to_string(i + 1));
      EmitLine(encoding_ref);
      EmitLine("/BaseFont /" + std::string(FontTable[i].name));
      EmitLine(">>");
      EmitLine("endobj");
    }

    AllocateObject();
    EmitLine("<<");
    EmitLine("/Type /Encoding");
    EmitLine("/BaseEncoding /WinAnsiEncoding");
    EmitLine(">>");
    EmitLine("endobj");

    AllocateObject();
    EmitLine("<<");
    EmitLine("/Font <<");
    for (int i = 0; i <= kFontCount; ++i) {
      EmitLine("  /F" + std::to_string(i) + " " + Reference(4 + i));
    }
    EmitLine(">>");
    EmitLine("  /ProcSet [ /PDF /Text /ImageC ]");
    if (images_) images_->WriteImageResources();
    EmitLine(">>");
    EmitLine("endobj");

    if (images_) images_->WriteImageObjects();
  });
}

void DocumentWriter::EndPDF() {
  Trapped([&] {
    WriterState& st = state_;
    objects_.SetOffset(st.CatalogObject, out_.Offset());
    EmitLine(ObjectLine(st.CatalogObject));
    EmitLine("<<");
    EmitLine("/Type /Catalog");
    EmitLine("/Pages " + Reference(st.PagesObject));
    if (st.FullScreen) EmitLine("/PageMode /FullScreen");
    EmitLine("/PageLayout /OneColumn");
    EmitLine(">>");
    EmitLine("endobj");

    objects_.SetOffset(st.PagesObject, out_.Offset());
    EmitLine(ObjectLine(st.PagesObject));
    EmitLine("<<");
    EmitLine("/Type /Pages");
    EmitLine("/Count " + std::to_string(st.PageCount));
    EmitLine("/MediaBox [ 0 0 " + FormatNumber(st.PageWidth) + " " + FormatNumber(st.PageHeight) +
             " ]");
    std::string kids;
    kids.reserve(12 * st.PageObjects.size() + 16);
    kids += "/Kids [ ";
    for (size_t k = 0; k < st.PageObjects.size(); ++k) {
      if (k > 0) kids += ' ';
      kids += Reference(st.PageObjects[k]);
    }
    kids += " ]";
    EmitLine(kids);
    EmitLine(">>");
    EmitLine("endobj");

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
    EmitLine("/Root " + Reference(st.CatalogObject));
    EmitLine("/Info " + Reference(st.InfoObject));
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
    st.PageImageCount = 0;
    st.VerticalCursor = static_cast<float>(st.TopMarginPt);
    if (images_) images_->StartPagePlacements();

    const int32_t page = AllocateObject();
    st.PageCount += 1;
    st.PageObjects.push_back(page);
    EmitLine("<<");
    EmitLine("/Type /Page");
    EmitLine("/Parent " + Reference(st.PagesObject));
    EmitLine("/Resources " + Reference(st.ResourcesObject));
    const int32_t contents = objects_.Reserve();
    EmitLine("/Contents " + Reference(page + 3));
    EmitLine("/Rotate " + std::to_string(st.Rotation));
    std::string transition = TransitionLine(st.TransitionMode);
    if (!transition.empty()) EmitLine(transition);
    EmitLine(">>");
    EmitLine("endobj");

    objects_.SetOffset(contents, out_.Offset());
    EmitLine(ObjectLine(contents));
    EmitLine("<<");
    EmitLine("/Length " + Reference(page + 2));
    EmitLine(">>");
    EmitStreamKeyword();
    stream_start_ = out_.Offset();

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
    const int64_t end = out_.Offset();
    EmitLine("endstream");
    EmitLine("endobj");

    const int32_t page = st.PageObjects.empty() ? 0 : st.PageObjects.back();
    AllocateObject();
    EmitLine(std::to_string(end - stream_start_));
    EmitLine("endobj");

    AllocateObject();
    EmitLine("[");
    EmitLine(Reference(page + 1) + " ");
    for (int32_t k = 1; k <= st.PageImageCount; ++k) {
      EmitLine(Reference(page + 2 + 2 * k) + " ");
    }
    EmitLine("]");
    EmitLine("endobj");
    st.LineOnPage = 1;
    if (images_) {
      for (int32_t k = 1; k <= st.PageImageCount; ++k) images_->WritePlacementStream(k);
    }
  });
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

void DocumentWriter::BeginStream() {
  Trapped([&] {
    const int32_t n = AllocateObject();
    EmitLine("<<");
    EmitLine("/Length " + Reference(n + 1));
    EmitLine(">>");
    EmitStreamKeyword();
    const int64_t start = out_.Offset();
    // Restores the graphics state that the page's previous stream left saved.
    EmitLine("Q");
    stream_start_ = start;
  });
}

void DocumentWriter::EndStream() {
  Trapped([&] {
    const int64_t end = out_.Offset();
    EmitLine("endstream");
    EmitLine("endobj");
    AllocateObject();
    EmitLine(std::to_string(end - stream_start_));
    EmitLine("endobj");
  });
}

}  // namespace vellumox
