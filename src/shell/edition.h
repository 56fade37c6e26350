#pragma once

#include <QString>

/// What sets the two programs apart; everything else is shared.
struct Edition {
  enum class Reporting { CrashReporter, MessageBox };

  QString caption;
  int firstTab = 0;                 ///< 0: backup tab, 1: restore tab
  bool searchFirebirdRoot = false;  ///< also look for the client library under the server's root
  Reporting reporting = Reporting::MessageBox;

  static Edition basekeep();
  static Edition basekeep3();
};
