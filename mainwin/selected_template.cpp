#include "mainwin/selected_template.h"

#include "platform/text.h"
#include "templates/descriptor_loader.h"
#include "templates/template_number.h"
#include "templates/template_state.h"

bool LoadSelectedTemplate(const std::string& Item) {
  const std::string name = Trim(Item);
  if (name.empty()) return false;
  TTemplateNumber number(0);
  if (!TTemplateNumber::TryParse(TemplateNumberOf(name), number)) return false;
  if (!LoadTemplateDescriptor(number.ZeroFilled())) return false;
  Store.TplName = name;
  Store.TplNumber = number.Stored();
  Store.HasData = false;
  return true;
}
