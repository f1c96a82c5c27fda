// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

#include <string>

namespace orb {

class Host;

// The numerical kernel reports its errors (a division by zero in
// QuadratGleich, an arc sine beyond its tolerance, ...) as an error box with
// a fixed German text, after which the routine returns and the computation
// goes on. Kernel routines are plain functions of their arguments, so the
// host that shows those boxes is installed for the duration of a computation
// with a KernelHostScope. Without an installed host the text goes to
// standard error.

// Caption of the kernel's error boxes.
inline constexpr const char* kKernelErrorCaption = "Fehler";

// Shows `text` as an error box through the installed host.
void ReportKernelError(const std::string& text);

// Installs `host` as the receiver of kernel error reports for the lifetime of
// the scope (on this thread); the previous receiver is restored afterwards.
// Within the outermost scope (one computation) each text is shown once: a
// failure that repeats in every row of a table is reported once, not per
// row.
class KernelHostScope {
 public:
  explicit KernelHostScope(Host& host);
  ~KernelHostScope();
  KernelHostScope(const KernelHostScope&) = delete;
  KernelHostScope& operator=(const KernelHostScope&) = delete;

 private:
  Host* previous_;
};

}  // namespace orb
