#pragma once
// The extra features the window carries: each a class of its own, owned by the host
// (so by the window), reaching the window only through the host.
class TProjectHost;

void InstallFeatures(TProjectHost& host);
