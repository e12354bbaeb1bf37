#include "designer/qt/designer_forms.h"

#include "designer/qt/descriptor_form.h"
#include "designer/qt/edit_disp_form.h"
#include "designer/qt/get_desc_form.h"
#include "designer/qt/get_name_form.h"
#include "designer/qt/lookup_form.h"
#include "designer/qt/min_max_form.h"

TDescriptorF* DescriptorF = nullptr;
TMinMaxF* MinMaxF = nullptr;
TGetNameF* GetNameF = nullptr;
TLKUPF* LKUPF = nullptr;
TGetDescF* GetDescF = nullptr;
TEditDispF* EditDispF = nullptr;

namespace {

template <class F, class... Args>
std::unique_ptr<QWidget> Made(F*& Global, Args&&... args) {
  auto form = std::make_unique<F>(std::forward<Args>(args)...);
  Global = form.get();
  return form;
}

template <class F>
void Forget(F*& Global, const QWidget* Form) {
  if (Global && static_cast<const QWidget*>(Global) == Form) Global = nullptr;
}

}  // namespace

std::unique_ptr<QWidget> CreateDesignerForm(const std::string& ClassName, QWidget* MainWindow) {
  if (ClassName == "TDescriptorF") return Made(DescriptorF);
  if (ClassName == "TMinMaxF") return Made(MinMaxF);
  if (ClassName == "TGetNameF") return Made(GetNameF);
  if (ClassName == "TLKUPF") return Made(LKUPF, MainWindow);
  if (ClassName == "TGetDescF") return Made(GetDescF);
  if (ClassName == "TEditDispF") return Made(EditDispF);
  return nullptr;
}

void ForgetStartForm(const QWidget* Form) {
  Forget(DescriptorF, Form);
  Forget(MinMaxF, Form);
  Forget(GetNameF, Form);
  Forget(LKUPF, Form);
  Forget(GetDescF, Form);
  Forget(EditDispF, Form);
}
