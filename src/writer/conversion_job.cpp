#include "writer/conversion_job.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "writer/file_operations.h"
#include "writer/path_names.h"
#include "writer/private_folder.h"

namespace vellumox {

namespace {

// "*" any run of characters, "?" any one; letters without regard to case.
bool WildcardMatch(std::string_view name, std::string_view pattern) {
  size_t n = 0, p = 0, star = std::string_view::npos, resume = 0;
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The same file, reached by whatever name.
bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

class JobRun {
 public:
  JobRun(const JobRequest& request, FileConverter& converter, UserInteraction& ui,
         JobObserver& observer)
      : request_(request), converter_(converter), ui_(ui), observer_(observer) {}

  JobReport Run();

 private:
  void ConvertOne(const std::string& input, const std::string& output);
  std::string WriteAlbumList(const std::vector<std::string>& files, const std::string& folder);

  const JobRequest& request_;
  FileConverter& converter_;
  UserInteraction& ui_;
  JobObserver& observer_;
  JobReport report_;
  PrivateFolder private_folder_;
};

void JobRun::ConvertOne(const std::string& input, const std::string& output) {
  observer_.SetCaption("Processing " + input);
  ++report_.conversions;
  // A conversion never writes onto its own input.
  if (!input.empty() && !output.empty() && (input == output || SameFile(input, output))) {
    ui_.ShowMessage("'" + input + "' is skipped: its PDF would be written over the file itself.",
                    MessageIcon::kExclamation);
    ++report_.failures;
    return;
  }
  ConversionSettings settings = request_.settings;
  settings.outputfile = output;
  if (!converter_.ConvertFile(input, settings, request_.input_text)) ++report_.failures;
}

std::string JobRun::WriteAlbumList(const std::vector<std::string>& files,
                                   const std::string& folder) {
  const std::string& where = private_folder_.Path();
  if (where.empty()) return std::string();
  std::string list = where + "/~temp.txt";
  std::ofstream out(list, std::ios::binary | std::ios::trunc);
  for (size_t i = 0; i < files.size(); ++i) {
    out << "<img src=\"" << folder << files[i] << "\">\r\n";
    if (i + 1 < files.size()) out << "\f\r\n";
  }
  return out ? list : std::string();
}

JobReport JobRun::Run() {
  const std::string& input = request_.input_text;
  const std::string& output = request_.output_text;
  bool wildcard = input.find('*') != std::string::npos;
  std::string final_output = output;
  if (!((!input.empty() && !output.empty()) || wildcard)) {
    ui_.ShowMessage("Please specify file names.", MessageIcon::kInformation);
    report_.names_missing = true;
    return report_;
  }

  if (IsAlbumInput(input, request_.image_patterns)) {
    const std::string folder = FolderOfPath(input);
    std::vector<std::string> files = MatchingFiles(input);
    for (std::string& f : files) f = f.substr(folder.size());  // names inside the folder
    wildcard = false;
    std::string album_output = (input.find('*') != std::string::npos || output.empty())
                                   ? folder + "images.pdf"
                                   : WithPdfExtension(output, ".pdf");
    observer_.ShowOutputName(album_output);
    final_output = album_output;
    if (files.empty()) {
      ui_.ShowMessage("No pictures match '" + input + "'.", MessageIcon::kExclamation);
      ++report_.failures;
    } else if (std::string list = WriteAlbumList(files, folder); list.empty()) {
      ui_.ShowMessage("Cannot write the album list in a temporary folder.",
                      MessageIcon::kExclamation);
      ++report_.failures;
    } else {
      ConvertOne(list, album_output);
    }
  } else if (wildcard) {
    // The matches are taken once, now, so PDFs that the job writes are never picked up.
    const std::string folder = FolderOfPath(input);
    std::vector<std::string> files = MatchingFiles(input);
    if (files.empty()) {
      ConvertOne(folder, folder + WithPdfExtension("", ".pdf"));
    }
    for (const std::string& file : files) ConvertOne(file, WithPdfExtension(file, ".pdf"));
  } else {
    ConvertOne(input, output);
  }
  observer_.SetCaption(request_.caption);

  const std::string& command_line = request_.command_line_text;
  if (FileExists(command_line) || (wildcard && !command_line.empty())) {
    report_.unattended = true;
    return report_;
  }
  if (wildcard) {
    if (ui_.AskYesNo("PDF files are done.\r\rDo you want to open the folder with generated PDF "
                     "files?")) {
      ui_.OpenWithShell(FolderOfPath(input));
    }
  } else if (request_.open_when_done) {
    ui_.OpenWithShell(final_output);
  } else if (ui_.AskYesNo("PDF file is done.\r\rDo you want to open the generated PDF file?")) {
    ui_.OpenWithShell(final_output);
  }
  return report_;
}

}  // namespace

std::vector<std::string> MatchingFiles(const std::string& pattern) {
  std::vector<std::string> files;
  const std::string folder = FolderOfPath(pattern);
  const std::string name_pattern = pattern.substr(folder.size());
  if (name_pattern.find_first_of("*?") == std::string::npos) {
    if (IsRegularFile(pattern)) files.push_back(pattern);
    return files;
  }
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return files;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (WildcardMatch(name, name_pattern) && IsRegularFile(folder + name)) {
      files.push_back(folder + name);
    }
  }
  ::closedir(dir);
  std::sort(files.begin(), files.end());
  return files;
}

bool IsAlbumInput(const std::string& input_text, const std::string& image_patterns) {
  if (input_text.empty()) return false;
  std::string tail = input_text.substr(input_text.size() - std::min<size_t>(4, input_text.size()));
  return FindIgnoreCase(image_patterns, tail) != std::string::npos;
}

JobReport RunConversionJob(const JobRequest& request, FileConverter& converter, UserInteraction& ui,
                           JobObserver& observer) {
  return JobRun(request, converter, ui, observer).Run();
}

}  // namespace vellumox
