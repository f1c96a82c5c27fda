// SPDX-License-Identifier: AGPL-3.0-or-later
#include "core/KernelReport.h"

#include <iostream>
#include <set>

#include "core/Host.h"

namespace orb {
namespace {
thread_local Host* g_kernelHost = nullptr;
// The texts already shown during the outermost scope.
thread_local std::set<std::string> g_reported;
thread_local int g_scopeDepth = 0;
}  // namespace

void ReportKernelError(const std::string& text) {
  if (g_kernelHost != nullptr) {
    if (!g_reported.insert(text).second) return;
    g_kernelHost->MessageBox(MsgKind::Error, kKernelErrorCaption, text);
  } else {
    std::cerr << kKernelErrorCaption << ": " << text << '\n';
  }
}

KernelHostScope::KernelHostScope(Host& host) : previous_(g_kernelHost) {
  g_kernelHost = &host;
  if (g_scopeDepth++ == 0) g_reported.clear();
}

KernelHostScope::~KernelHostScope() {
  g_kernelHost = previous_;
  if (--g_scopeDepth == 0) g_reported.clear();
}

}  // namespace orb
