#include "file/templates.h"

#include "file/dxffile.h"

namespace vestrel {

LineList TemplateLines(std::string_view name, const std::string& progpath) {
  LineList lines;
  for (const std::string& path :
       {std::string(name), progpath + std::string(name), progpath + std::string(kInstalledData) + std::string(name)})
    if (ReadDxfFile(path, lines) == FileError::None) return lines;
  lines.assign(std::string(BuiltInTemplate(name)));
  return lines;
}

}  // namespace vestrel
