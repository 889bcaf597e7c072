#pragma once

#include <string>

// A locale named by its identifier ("de_DE"), as the user's environment or code gives it.
class NSLocale {
  public:
    explicit NSLocale(std::string localeIdentifier);

    // The user's locale for money, read from the environment at every call: LC_ALL, then
    // LC_MONETARY, then LANG; "C", "POSIX" or nothing is en_US_POSIX. When that locale names
    // no country, even a likely one, the first of the languages in LANGUAGE (colon-separated)
    // that does.
    static NSLocale currentLocale();

    const std::string& localeIdentifier() const { return m_localeIdentifier; }

  private:
    std::string m_localeIdentifier;
};
