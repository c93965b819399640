#include "RxFilter.h"

namespace {
constexpr char MarkStart = '\377';
}

void TRxFilter::Configure(bool DropNull, bool Marked, char ReplaceChar) {
  FDropNull = DropNull;
  FMarked = Marked;
  FReplaceChar = ReplaceChar;
  // The settings are applied again on every change: a mark cut by the read goes on while marking does.
  if (!Marked) FMarkBytes = 0;
}

void TRxFilter::SetMarked(bool Marked) { Configure(FDropNull, Marked, FReplaceChar); }

void TRxFilter::Apply(const char* Raw, size_t Count, std::vector<char>& Out) {
  auto Data = [&](char C) {
    if (!(FDropNull && C == '\0')) Out.push_back(C);
  };
  for (size_t I = 0; I < Count; ++I) {
    const char C = Raw[I];
    if (FMarked) {
      if (FMarkBytes == 2) {
        // The replacement stands for a byte received in error: kept even when it is NUL.
        Out.push_back(FReplaceChar);
        FMarkBytes = 0;
        continue;
      }
      if (FMarkBytes == 1) {
        FMarkBytes = 0;
        if (C == MarkStart) {
          Data(C);
          continue;
        }
        if (C == '\0') {
          FMarkBytes = 2;
          continue;
        }
        // Not a mark after all: the \377 was data.
        Data(MarkStart);
      }
      if (C == MarkStart) {
        FMarkBytes = 1;
        continue;
      }
    }
    Data(C);
  }
}
