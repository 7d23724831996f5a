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
#include "writer/flate.h"
#include "writer/font_table.h"
#include "writer/pdf_string.h"
#include "writer/transition_table.h"
#include "writer/writer_error.h"

namespace vellumox {

namespace {

std::string Reference(int32_t n) {
  return std::to_string(n) + " 0 R";
}

// An information string of the platform's text: as ever when Windows-1252 holds it, else in
// UTF-16 with every character kept.
std::string InformationString(const std::string& text) {
  if (DetectTextEncoding(text) == TextEncoding::kUtf8) {
    std::string bytes;
    std::string_view utf8(text);
    utf8.remove_prefix(ByteOrderMarkLength(utf8, TextEncoding::kUtf8));
    if (!Utf8ToWindows1252(utf8, bytes)) return PdfUtf16String(utf8);
  }
  return PdfTextString(PlatformTextToWindows1252(text));
}

}  // namespace

void DocumentWriter::WarnOnce(std::string_view kind, std::string text) {
  if (std::find(warned_kinds_.begin(), warned_kinds_.end(), kind) != warned_kinds_.end()) return;
  warned_kinds_.emplace_back(kind);
  warnings_.push_back(std::move(text));
}

void DocumentWriter::BeginObject(int32_t n) {
  objects_.MarkWritten(n, out_.Offset());
  out_.EmitLine(std::to_string(n), " 0 obj", "");
}

void DocumentWriter::StreamObject(int32_t n, std::string_view entries, std::string_view data) {
  BeginObject(n);
  EmitLine("<<");
  if (!entries.empty()) EmitLine(entries);
  EmitLine("/Length " + std::to_string(data.size()));
  EmitLine(">>");
  EmitStreamKeyword();
  out_.EmitBytes(data);
  out_.EmitBytes("\rendstream\r");
  EmitLine("endobj");
}

void DocumentWriter::EmitStreamKeyword() {
  // A strict reader wants a line feed after "stream"; a carriage return alone is not enough
  // there, so this is the one place where the file holds one.
  out_.EmitBytes("stream\r\n");
}

void DocumentWriter::Initialize(const ConversionSettings& s) {
  geometry_ = PageGeometry::From(s);
  frame_ = Frame();
  frame_.transition = s.TransitionMode;
  frame_.full_screen = s.FullScreen;
  frame_.compress = s.Compress;
  frame_.rotation = s.Rotation;
  frame_.show_page_number = s.ShowPageNum;
  frame_.back_color = std::string(ColorOperands(s.BackColorIndex));
  frame_.author = InformationString(s.TextAuthor);
  frame_.creator = InformationString(s.TextCreator);
  frame_.keywords = InformationString(s.TextKeywords);
  frame_.subject = InformationString(s.TextSubject);
  frame_.title = InformationString(s.TextTitle);
  fonts_ = std::make_unique<StandardFonts>(s.FontName);
  added_fonts_.clear();
  next_font_number_ = kFontCount + 1;
  image_names_.clear();
  icc_profiles_.clear();
  resources_at_end_ = false;
  output_file_ = s.outputfile;
  objects_.Reset();
  document_ = DocumentObjects();
  page_objects_ = PageObjects();
  page_lines_ = PageLines();
  page_count_ = 0;
  page_object_numbers_.clear();
  stream_start_ = 0;
  if (compressor_) compressor_->Clear();
  compressing_.clear();
  page_.Restart(fonts_->Document(), geometry_.FontSize);
  out_.SetMaxSize(size_limit_);
  out_.Reset(s.outputfile);
  failure_.Clear();
  warnings_.clear();
  warned_kinds_.clear();
}

// Every number of the document's frame is handed out here, before the first object is written:
// the information, the catalog and the page tree, the fonts (with their encoding), the shared
// resources and the pictures. The pages follow.
void DocumentWriter::ReserveDocumentObjects(size_t image_count) {
  DocumentObjects& o = document_;
  o.info = objects_.Reserve();
  o.catalog = objects_.Reserve();
  o.pages = objects_.Reserve();
  fonts_->ReserveObjects(objects_);
  o.resources = objects_.Reserve();
  o.first_image = objects_.ReserveRange(static_cast<int32_t>(image_count));
}

void DocumentWriter::StartPDF() {
  failure_.Trapped([&] {
    out_.Open();
    EmitLine("%PDF-1.3");
  });
}

std::string DocumentWriter::NextFontName() const {
  return "F" + std::to_string(next_font_number_);
}

const Font& DocumentWriter::AddFont(std::unique_ptr<Font> font) {
  if (!resources_at_end_) {
    ReportError("Internal error: a font was added after the shared resources were written.");
  }
  ++next_font_number_;  // the font took NextFontName()
  font->SetResourceNamer([this] { return "F" + std::to_string(next_font_number_++); });
  font->ReserveObjects(objects_);
  added_fonts_.push_back(std::move(font));
  return *added_fonts_.back();
}

namespace {

// Pictures that are ready already, handed out as they are.
class ReadyPictures : public PictureSource {
 public:
  explicit ReadyPictures(const std::vector<ImageObject>& images) : images_(images) {
    for (const ImageObject& image : images) names_.push_back(image.name);
  }
  const std::vector<std::string>& Names() const override { return names_; }
  bool Take(size_t k, ImageObject& image) override {
    image = images_[k];
    return true;
  }
  void Embedded(size_t) override {}

 private:
  const std::vector<ImageObject>& images_;
  std::vector<std::string> names_;
};

}  // namespace

void DocumentWriter::WriteFrame(const std::vector<ImageObject>& images, bool more_fonts) {
  ReadyPictures ready(images);
  WriteFrame(&ready, more_fonts);
}

void DocumentWriter::WriteFrame(PictureSource* pictures, bool more_fonts) {
  resources_at_end_ = more_fonts;
  image_names_.clear();
  if (pictures) image_names_ = pictures->Names();
  failure_.Trapped([&] {
    ReserveDocumentObjects(image_names_.size());
    BeginObject(document_.info);
    EmitLine("<<");
    EmitLine("/Author " + frame_.author);
    EmitLine("/CreationDate (D:" + LocalTimestamp() + ")");
    EmitLine("/Creator " + frame_.creator);
    EmitLine("/Producer (" + ProductTitle() + ")");
    EmitLine("/Title " + frame_.title);
    EmitLine("/Subject " + frame_.subject);
    EmitLine("/Keywords " + frame_.keywords);
    EmitLine(">>");
    EmitLine("endobj");

    fonts_->WriteObjects(*this);
    if (!resources_at_end_) WriteResources();
    ImageObject image;
    for (size_t k = 0; k < image_names_.size() && !Failed(); ++k) {
      const int32_t n = document_.first_image + static_cast<int32_t>(k);
      if (pictures->Take(k, image)) {
        if (!WriteImageObject(n, image)) break;
      } else if (!Failed()) {
        WriteEmptyImageObject(n);
      }
      pictures->Embedded(k);
    }
  });
}

void DocumentWriter::WriteEmptyImageObject(int32_t n) {
  BeginObject(n);
  EmitLine("null");
  EmitLine("endobj");
}

void DocumentWriter::WriteResources() {
  BeginObject(document_.resources);
  EmitLine("<<");
  EmitLine("/Font <<");
  for (const auto& font : fonts_->All()) {
    EmitLine("  /" + font->ResourceName() + " " + Reference(font->ObjectNumber()));
  }
  for (const auto& font : added_fonts_) {
    for (const auto& [name, object] : font->Resources()) {
      EmitLine("  /" + name + " " + Reference(object));
    }
  }
  EmitLine(">>");
  EmitLine("  /ProcSet [ /PDF /Text /ImageC ]");
  if (!image_names_.empty()) {
    EmitLine("  /XObject << ");
    for (size_t k = 0; k < image_names_.size(); ++k) {
      EmitLine("  /" + image_names_[k] + " " +
               Reference(document_.first_image + static_cast<int32_t>(k)));
    }
    EmitLine("  >>");
  }
  EmitLine(">>");
  EmitLine("endobj");
}

namespace {

const char* DeviceSpace(int components) {
  return components == 1 ? "/DeviceGray" : components == 4 ? "/DeviceCMYK" : "/DeviceRGB";
}

// The /DecodeParms of rows that went through the PNG predictors.
std::string PredictorParameters(int colors, int bits, int32_t columns) {
  return "   /DecodeParms [ << /Predictor 15 /Colors " + std::to_string(colors) +
         " /BitsPerComponent " + std::to_string(bits) + " /Columns " + std::to_string(columns) +
         " >> ]";
}

}  // namespace

bool DocumentWriter::WriteImageObject(int32_t n, const ImageObject& image) {
  const int64_t size = FileLength(image.jpeg_path);
  if (size < 1) {
    // The JPEG vanished after it was made; its number was promised, so the document fails.
    ReportError("Cannot read the picture '" + image.source + "'.");
    return false;
  }
  // Pictures of one camera share their profile: it is written once, after the first of them.
  int32_t profile = 0;
  bool new_profile = false;
  if (!image.icc_profile.empty()) {
    auto [it, added] = icc_profiles_.try_emplace(image.icc_profile, 0);
    if (added) it->second = objects_.Reserve();
    profile = it->second;
    new_profile = added;
  }
  const LosslessForm& form = image.form;
  int64_t mask_size = 0;
  int32_t mask = 0;
  if (image.lossless && !form.mask_path.empty()) {
    mask_size = FileLength(form.mask_path);
    if (mask_size < 1) {
      ReportError("Cannot read the picture '" + image.source + "'.");
      return false;
    }
    mask = objects_.Reserve();
  }
  const int bits = image.lossless ? form.bits : 8;
  BeginObject(n);
  EmitLine("<< /Type /XObject /Subtype /Image /Name /" + image.name + " /Filter [ " +
           (image.lossless ? "/FlateDecode" : "/DCTDecode") + " ]");
  if (image.lossless) {
    const int colors = form.palette.empty() ? image.components : 1;
    EmitLine(PredictorParameters(colors, bits, image.width));
  }
  std::string space = profile != 0 ? "[ /ICCBased " + Reference(profile) + " ]"
                                   : std::string(DeviceSpace(image.components));
  if (image.lossless && !form.palette.empty()) {
    // The lookup as a hexadecimal string: any byte may stand in it.
    const size_t entries = form.palette.size() / static_cast<size_t>(image.components);
    EmitLine("   /ColorSpace [ /Indexed " + space + " " + std::to_string(entries - 1));
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string line = "   <";
    for (size_t i = 0; i < form.palette.size(); ++i) {
      const auto byte = static_cast<uint8_t>(form.palette[i]);
      line += kHex[byte >> 4];
      line += kHex[byte & 15];
      if (line.size() >= 100 && i + 1 < form.palette.size()) {
        EmitLine(line);
        line = "   ";
      }
    }
    EmitLine(line + "> ]");
    space.clear();
  }
  std::string masking;
  if (mask != 0) {
    masking = " /Mask " + Reference(mask);
  } else if (image.lossless && !form.color_key.empty()) {
    masking = " /Mask [";
    for (int c : form.color_key) masking += " " + std::to_string(c) + " " + std::to_string(c);
    masking += " ]";
  }
  EmitLine("   /Width " + std::to_string(image.width) + " /Height " + std::to_string(image.height) +
           " /BitsPerComponent " + std::to_string(bits) +
           (space.empty() ? "" : " /ColorSpace " + space) +
           (image.inverted ? " /Decode [1 0 1 0 1 0 1 0]" : "") + masking + " /Length " +
           std::to_string(size));
  EmitLine(">>");
  EmitFileStream(image.jpeg_path, size);
  if (new_profile) WriteIccProfile(profile, image.icc_profile, image.components);
  if (mask != 0) {
    // Where the mask holds 1 the picture is not painted: the page shows through.
    BeginObject(mask);
    EmitLine("<< /Type /XObject /Subtype /Image /ImageMask true /Filter [ /FlateDecode ]");
    EmitLine(PredictorParameters(1, 1, image.width));
    EmitLine("   /Width " + std::to_string(image.width) + " /Height " +
             std::to_string(image.height) + " /BitsPerComponent 1 /Length " +
             std::to_string(mask_size));
    EmitLine(">>");
    EmitFileStream(form.mask_path, mask_size);
  }
  return true;
}

void DocumentWriter::EmitFileStream(const std::string& path, int64_t size) {
  EmitStreamKeyword();
  out_.EmitFileContents(path, size);
  out_.EmitBytes("\rendstream\r");
  EmitLine("");
  EmitLine("endobj");
}

void DocumentWriter::WriteIccProfile(int32_t n, const std::string& profile, int components) {
  // Written once a document, so the smallest deflate is worth its time.
  FlateCompressor flate(12);
  StreamObject(n,
               "/N " + std::to_string(components) + " /Alternate " + DeviceSpace(components) +
                   " /Filter /FlateDecode",
               flate.Compress(profile));
}

void DocumentWriter::EndPDF() {
  failure_.Trapped([&] {
    if (frame_.compress && compressor_) WriteCompressedPages(true);
    BeginObject(document_.catalog);
    EmitLine("<<");
    EmitLine("/Type /Catalog");
    EmitLine("/Pages " + Reference(document_.pages));
    if (frame_.full_screen) EmitLine("/PageMode /FullScreen");
    EmitLine("/PageLayout /OneColumn");
    EmitLine(">>");
    EmitLine("endobj");

    BeginObject(document_.pages);
    EmitLine("<<");
    EmitLine("/Type /Pages");
    EmitLine("/Count " + std::to_string(page_count_));
    EmitLine("/MediaBox [ 0 0 " + FormatNumber(geometry_.PageWidth) + " " +
             FormatNumber(geometry_.PageHeight) + " ]");
    std::string kids;
    kids.reserve(12 * page_object_numbers_.size() + 16);
    kids += "/Kids [ ";
    for (size_t k = 0; k < page_object_numbers_.size(); ++k) {
      if (k > 0) kids += ' ';
      kids += Reference(page_object_numbers_[k]);
    }
    kids += " ]";
    EmitLine(kids);
    EmitLine(">>");
    EmitLine("endobj");

    // The fonts that learned their glyphs from the pages write their objects now, and the
    // shared resources that name them follow.
    for (const auto& font : added_fonts_) font->WriteObjects(*this);
    if (resources_at_end_) WriteResources();

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
    EmitLine("/Root " + Reference(document_.catalog));
    EmitLine("/Info " + Reference(document_.info));
    EmitLine(">>");
    EmitLine("startxref");
    EmitLine(std::to_string(xref));
    EmitLine("%%EOF", true);
    if (!Failed()) out_.Commit();
  });
  if (Failed()) out_.Discard();
}

void DocumentWriter::StartPage() {
  failure_.Trapped([&] {
    const PageGeometry& g = geometry_;
    page_.Restart(fonts_->Document(), g.FontSize);
    // The page, its content stream, the stream's length and the contents array; the placement
    // streams get theirs when the page ends.
    PageObjects& p = page_objects_;
    p.page = objects_.Reserve();
    p.contents = objects_.Reserve();
    p.length = objects_.Reserve();
    p.array = objects_.Reserve();

    BeginObject(p.page);
    page_count_ += 1;
    page_object_numbers_.push_back(p.page);
    const PageLines& same = SamePageLines();
    for (const std::string& line : same.object_head) EmitLine(line);
    out_.EmitLine("/Contents ", Reference(p.array), "");
    for (const std::string& line : same.object_tail) EmitLine(line);

    if (frame_.compress) {
      // The content is collected, and written once compressed (WriteCompressedPages).
      out_.BeginCollecting();
    } else {
      BeginObject(p.contents);
      EmitLine("<<");
      out_.EmitLine("/Length ", Reference(p.length), "");
      EmitLine(">>");
      EmitStreamKeyword();
      stream_start_ = out_.Offset();
    }
    for (const std::string& line : same.content_start) EmitLine(line);
  });
}

const DocumentWriter::PageLines& DocumentWriter::SamePageLines() {
  PageLines& lines = page_lines_;
  if (!lines.object_head.empty()) return lines;
  const PageGeometry& g = geometry_;
  lines.object_head = {"<<", "/Type /Page", "/Parent " + Reference(document_.pages),
                       "/Resources " + Reference(document_.resources)};
  lines.object_tail = {"/Rotate " + std::to_string(frame_.rotation)};
  std::string transition = TransitionLine(frame_.transition);
  if (!transition.empty()) lines.object_tail.push_back(transition);
  lines.object_tail.insert(lines.object_tail.end(), {">>", "endobj"});
  const std::string width = FormatNumber(g.PageWidth);
  lines.content_start = {frame_.back_color + " rg",
                         "0 0 m",
                         width + " 0 l",
                         width + " " + FormatNumber(g.PageHeight) + " l",
                         "0 " + std::to_string(g.PageHeight) + " l",
                         "0 0 l",
                         "f",
                         "BT",
                         g.ForeColor + " rg",
                         "/F0 " + FormatNumber(g.FontSize) + " Tf",
                         "1 0 0 1 " + FormatNumber(g.LeftMarginPt) + " " +
                             FormatNumber(g.PageHeight - g.TopMarginPt) + " Tm",
                         FormatNumber(g.Leading) + " TL"};
  return lines;
}

void DocumentWriter::EndPage() {
  failure_.Trapped([&] {
    const PageGeometry& g = geometry_;
    if (frame_.show_page_number) {
      page_.PutFontInForce();
      EmitLine("1 0 0 1 " + FormatNumber(g.PageWidth / 2.0) + " " + FormatNumber(25) + " Tm");
      EmitLine("(" + std::to_string(page_count_) + ") Tj");
      EmitLine("/F0 " + FormatNumber(g.FontSize) + " Tf");
    }
    EmitLine("ET q");
    const PageObjects& p = page_objects_;
    if (frame_.compress) {
      if (!compressor_)
        compressor_ = std::make_unique<PageCompressor>(PageCompressor::WorkersFor(UsableCores()));
      compressor_->Submit(out_.EndCollecting(),
                          page_.ShowsFaces() ? PageCompressor::kFaceLevel : PageCompressor::kLevel);
      compressing_.push_back({p.contents, p.length});
    } else {
      const int64_t end = out_.Offset();
      EmitLine("endstream");
      EmitLine("endobj");
      BeginObject(p.length);
      EmitLine(std::to_string(end - stream_start_));
      EmitLine("endobj");
    }

    // Each placement: its stream, then the stream's length.
    const std::vector<PlacementRecord>& pictures = page_.Pictures();
    const auto count = static_cast<int32_t>(pictures.size());
    const int32_t first_placement = objects_.ReserveRange(2 * count);
    BeginObject(p.array);
    EmitLine("[");
    out_.EmitLine(Reference(p.contents), " ", "");
    for (int32_t k = 0; k < count; ++k) out_.EmitLine(Reference(first_placement + 2 * k), " ", "");
    EmitLine("]");
    EmitLine("endobj");
    for (int32_t k = 0; k < count; ++k) {
      WritePlacementStream(first_placement + 2 * k, first_placement + 2 * k + 1,
                           pictures[static_cast<size_t>(k)]);
    }
    if (frame_.compress) WriteCompressedPages(false);
  });
}

void DocumentWriter::WriteCompressedPages(bool all) {
  while (!compressing_.empty() && (all || compressor_->BytesWaiting() > kBytesAhead)) {
    const CompressedStream s = compressing_.front();
    compressing_.pop_front();
    const std::string data = compressor_->TakeOldest();
    BeginObject(s.contents);
    EmitLine("<<");
    out_.EmitLine("/Length ", Reference(s.length), "");
    EmitLine("/Filter /FlateDecode");
    EmitLine(">>");
    EmitStreamKeyword();
    out_.EmitBytes(data);
    // Compressed data ends with no line end of its own; one goes before "endstream".
    EmitLine("");
    EmitLine("endstream");
    EmitLine("endobj");
    BeginObject(s.length);
    EmitLine(std::to_string(data.size()));
    EmitLine("endobj");
  }
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
  EmitLine("q " + PlacementMatrix(r) + " cm /" + r.name + " Do");
  const int64_t end = out_.Offset();
  EmitLine("endstream");
  EmitLine("endobj");
  BeginObject(length);
  EmitLine(std::to_string(end - start));
  EmitLine("endobj");
}

}  // namespace vellumox
