#pragma once
// The window's layout names its fonts as the indicator programmer always had them ("MS Sans Serif",
// "Tahoma", "Arial", "Fixedsys"); each system gives the ones it lacks their closest stand-ins.
// One file per system.
void UseWindowFonts();
