// The operator's file choosers for profile files.
#include "support/Operator.h"
#include "support/ProfileStore.h"

namespace {

bool ChooseFile(FileChooserKind kind, const std::string& initialDirectory,
                const std::string& extension, const std::string& suggestedName, std::string& path) {
  FileChooserRequest request;
  request.kind = kind;
  request.title = kind == FileChooserKind::Open ? "Open File" : "Save File";
  request.initialDirectory = initialDirectory;
  size_t dot = extension.find('.');
  request.defaultExtension = dot == std::string::npos ? extension : extension.substr(dot + 1);
  request.filter = "File Type (*." + request.defaultExtension + ")|*." + request.defaultExtension;
  request.suggestedName = BaseNameOf(suggestedName);
  std::string chosen;
  if (!Operator().ChooseFile(request, chosen)) return false;
  path = chosen;
  return true;
}

}  // namespace

bool ChooseOpenFile(const std::string& initialDirectory, const std::string& extension,
                    const std::string& suggestedName, std::string& path) {
  return ChooseFile(FileChooserKind::Open, initialDirectory, extension, suggestedName, path);
}

bool ChooseSaveFile(const std::string& initialDirectory, const std::string& extension,
                    const std::string& suggestedName, std::string& path) {
  return ChooseFile(FileChooserKind::Save, initialDirectory, extension, suggestedName, path);
}
