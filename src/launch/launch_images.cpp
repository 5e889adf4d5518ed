#include "launch/launch_images.h"

#include <cstdio>

#include "db/library_connection.h"
#include "platform/codepage.h"

namespace vel {
namespace {

constexpr size_t kLongestImagePath = 259;  // a path buffer of 260 with its terminator

std::string QuoteImage(const std::string& path) { return path.empty() ? path : "\"" + path + "\""; }

// Every half-width space of the name (not the folder, not the extension) as "_".
std::string UnderscoredName(const std::string& path) {
  PathForms forms = SplitPath(path);
  std::string name = forms.withoutExtension;
  for (char& c : name)
    if (c == ' ') c = '_';  // CP932 trail bytes are never 0x20
  return forms.folder + name + (forms.extension.empty() ? "" : "." + forms.extension);
}

std::string NumberedName(const std::string& path, int index) {
  PathForms forms = SplitPath(path);
  char number[16];
  std::snprintf(number, sizeof number, "%08d", index);
  return forms.folder + number + (forms.extension.empty() ? "" : "." + forms.extension);
}

}  // namespace

std::string ImageListStatement(const std::string& key, int diskCount, bool alterEgo) {
  std::string count = std::to_string(diskCount <= 0 ? 1 : diskCount);
  if (alterEgo)
    return "SELECT ae_file FROM alter_ego_table WHERE ply_pfile_ae='" + Quote(key) + "' OR pfile_ae='" + Quote(key) +
           "' ORDER BY alter_ego, pfile_ae LIMIT " + count;
  return "SELECT file_name, file_arc_title, file_arc_ext, file_title, file_ext FROM main_table WHERE ply_file_name='" +
         Quote(key) + "' OR file_name='" + Quote(key) + "' ORDER BY ply, file_name LIMIT " + count;
}

std::vector<ImageRow> ImageRowsFromResult(LibraryConnection& db, bool alterEgo) {
  std::vector<ImageRow> rows;
  for (int r = 1; r <= db.RowCount(); ++r) {
    ImageRow row;
    row.fileName = db.Cell(r, 0);
    if (!alterEgo) {
      row.arcTitle = db.Cell(r, 1);
      row.arcExt = db.Cell(r, 2);
      row.fileTitle = db.Cell(r, 3);
      row.fileExt = db.Cell(r, 4);
    }
    rows.push_back(row);
  }
  return rows;
}

ImagePlan PlanImages(const std::vector<ImageRow>& rows, const ImageListSettings& settings) {
  ImagePlan plan;
  for (const ImageRow& row : rows) {
    if (plan.count + 1 >= kImageSlots) {
      plan.error = Jp("イメージファイルが多すぎます。\n1回の起動で渡せるのは 99 個までです。");
      return plan;
    }
    size_t star = row.fileName.find('*');
    std::string image;
    if (star != std::string::npos && settings.extract >= 1)
      image = settings.extractPath + "\\" + row.arcTitle + "." + row.arcExt;
    else if (settings.extract == 2)
      image = settings.extractPath + "\\" + row.fileTitle + "." + row.fileExt;
    else
      image = row.fileName.substr(0, star);
    plan.images[static_cast<size_t>(++plan.count)] = image;
  }
  int boot = settings.bootDisk >= 1 && settings.bootDisk <= plan.count ? settings.bootDisk : 1;
  bool renaming = settings.imageFnReplace > 0 && (settings.extract == 2 || settings.alterEgo);
  if (renaming && (settings.imageFnReplace == 1 || settings.imageFnReplace == 2)) {
    for (int i = 1; i <= plan.count; ++i) {
      std::string& image = plan.images[static_cast<size_t>(i)];
      std::string renamed = settings.imageFnReplace == 1 ? UnderscoredName(image) : NumberedName(image, i);
      if (renamed == image) continue;
      plan.renames.push_back({i, image, renamed});
      image = renamed;
    }
  }
  plan.images[0] = plan.count > 0 ? plan.images[static_cast<size_t>(boot)] : "";
  for (int i = 0; i <= plan.count; ++i) {
    std::string& image = plan.images[static_cast<size_t>(i)];
    if (image.size() > kLongestImagePath) {
      plan.error = Jp("イメージファイルのパスが長すぎます。\n") + image;
      return plan;
    }
    if (settings.doubleQuote) image = QuoteImage(image);
  }
  return plan;
}

std::string AlterEgoRenameStatement(const std::string& key, int index, const std::string& name) {
  return "UPDATE alter_ego_table SET ren_file_name ='" + Quote(name) + "' WHERE (pfile_ae='" + Quote(key) +
         "' OR ply_pfile_ae='" + Quote(key) + "') AND alter_ego=" + std::to_string(index);
}

}  // namespace vel
