// Precompiled for every file of the desktop program: the wx headers dominate its compile time.
#pragma once
#include <wx/wx.h>
#include <wx/artprov.h>
#include <wx/config.h>
#include <wx/docmdi.h>
#include <wx/docview.h>
#include <wx/filehistory.h>
#include <wx/mstream.h>
#include <wx/tooltip.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>
