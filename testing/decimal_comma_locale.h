// Switches the C library to an installed locale whose decimal point is not
// "." (a German or French one), to show that number routines ignore it.
// Machines often carry only the "C" locales; then Active() is false and the
// test should skip.
#pragma once

#include <clocale>
#include <string>

class ScopedDecimalCommaLocale {
 public:
  ScopedDecimalCommaLocale() {
    for (const char* name :
         {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8", "ru_RU.UTF-8", "de_DE", "fr_FR"}) {
      if (std::setlocale(LC_ALL, name) && std::string(std::localeconv()->decimal_point) != ".") {
        name_ = name;
        return;
      }
    }
    Restore();
  }
  ~ScopedDecimalCommaLocale() { Restore(); }
  ScopedDecimalCommaLocale(const ScopedDecimalCommaLocale&) = delete;
  ScopedDecimalCommaLocale& operator=(const ScopedDecimalCommaLocale&) = delete;

  bool Active() const { return !name_.empty(); }
  const std::string& Name() const { return name_; }

 private:
  static void Restore() { std::setlocale(LC_ALL, "C"); }
  std::string name_;
};
