// SPDX-License-Identifier: AGPL-3.0-or-later
#include "core/KernelReport.h"

#include <iostream>

#include "core/Host.h"

namespace orb {
namespace {
thread_local Host* g_kernelHost = nullptr;
}

void ReportKernelError(const std::string& text) {
  if (g_kernelHost != nullptr) {
    g_kernelHost->MessageBox(MsgKind::Error, kKernelErrorCaption, text);
  } else {
    std::cerr << kKernelErrorCaption << ": " << text << '\n';
  }
}

KernelHostScope::KernelHostScope(Host& host) : previous_(g_kernelHost) { g_kernelHost = &host; }

KernelHostScope::~KernelHostScope() { g_kernelHost = previous_; }

}  // namespace orb
