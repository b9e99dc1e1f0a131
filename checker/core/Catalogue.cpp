#include "Catalogue.h"

#include <algorithm>

namespace tessaly {

const char* const kCatalogueNamesFirst =
    "ADODCJP.DLL,agentctl.dll,ASYCFILT.DLL,CMCT2JP.DLL,CMCT3JP.DLL,CMCTLJP.DLL,"
    "CMDLGJP.DLL,COMCAT.DLL,COMCT232.OCX,COMCT332.OCX,COMCTL32.OCX,COMDLG32.OCX,"
    "DATGDJP.DLL,DATLSJP.DLL,DATRPJP.DLL,daxctle.ocx,DBLIST32.OCX,DBLSTJP.DLL,"
    "FLXGDJP.DLL,GAPI32.DLL,GRID32.OCX,imgctl.dll,INETJP.DLL,MCI32.OCX,"
    "MCIJP.DLL,mfc42.dll,MSACC9.OLB,msado26.tlb,MSADODC.OCX,MSBCODE9.OCX,"
    "MSBIND.DLL,MSCAL.OCX,MSCC2JP.DLL,MSCH2JP.DLL,MSCHRT20.OCX,MSCMCJP.DLL,"
    "MSCOMCT2.OCX,MSCOMCTL.OCX,MSCOMJP.DLL,MSCOMM32.OCX,MSDATGRD.OCX,MSDATLST.OCX,"
    "MSDATREP.OCX,MSFLXGRD.OCX,MSHFGJPN.DLL,MSHFLXGD.OCX,MSINET.OCX,MSMAPI32.OCX,"
    "MSMASK32.OCX,MSMPIJP.DLL,MSMSKJP.DLL,MSRDC20.OCX,MSRDO20.DLL,msscript.ocx,"
    "MSSTDFMT.DLL,MSVBVM50.DLL,msvbvm60.dll,msvcrt.dll,MSWINSCK.OCX,OLEAUT32.DLL,"
    "OLEPRO32.DLL,PCCLPJP.DLL,PICCLP32.OCX,plugin.ocx,RCHTXJP.DLL,RDC20JP.DLL,";

const char* const kCatalogueNamesSecond =
    "RDO20JP.DLL,RDOCURS.DLL,RICHED32.DLL,RICHTX32.OCX,SaveJPG.dll,shfolder.dll,"
    "STDFTJP.DLL,STDOLE2.TLB,SYSINFO.OCX,SYSINJP.DLL,TABCTJP.DLL,TABCTL32.OCX,"
    "vantor.dll,VantorG32.dll,UNARJ32J.DLL,UNLHA32.DLL,Vb40032.dll,VB4JP32.DLL,"
    "VB5JP.DLL,VB6JP.DLL,VB6STKIT.DLL,pixkit.dll,WINSKJP.DLL,";

// Two commas in a row: the package states no version for that file
// (imgctl.dll and pixkit.dll).
const char* const kCatalogueVersions =
    "6.0.81.63,2.0.0.3422,5.1.2600.2180,6.0.80.22,6.0.0.8163,6.0.80.22,"
    "6.0.81.63,5.0.2600.1,6.0.80.22,6.7.0.9782,6.0.81.5,6.1.97.82,"
    "6.0.81.63,6.0.81.63,6.0.81.63,6.3.1.146,6.1.97.82,6.0.81.63,"
    "6.0.81.63,5.5.2803.0,4.0.29.8,,6.0.81.63,6.0.84.18,"
    "6.0.81.63,6.2.4131.0,9.0.0.2719,2.81.1117.0,6.1.97.82,9.0.0.0,"
    "6.1.97.82,9.0.0.3620,6.0.81.63,6.0.81.63,6.0.88.4,6.0.81.63,"
    "6.1.97.82,6.1.97.82,6.0.81.63,6.0.81.69,6.1.97.82,6.0.84.18,"
    "6.0.81.69,6.1.97.82,6.0.30.5,6.0.88.4,6.1.97.82,6.0.81.69,"
    "6.0.84.18,6.0.81.63,6.0.81.63,6.0.84.18,6.1.97.82,1.0.0.8820,"
    "6.1.97.82,5.2.82.44,6.0.97.82,7.0.2600.2180,6.1.97.82,5.1.2600.2180,"
    "5.1.2600.2180,6.0.81.63,6.0.84.18,7.0.3.50,6.0.81.63,6.0.81.63,"
    "6.0.81.63,6.0.88.4,5.0.1462.7,6.1.97.82,3.1.0.0,6.0.2900.2180,"
    "6.0.81.63,5.2.3668.0,6.0.81.69,6.0.81.63,6.0.81.63,6.1.97.82,"
    "7.1.0.0,1.0.0.0,0.54.0.3,1.98.2.4,4.0.29.24,4.0.26.19,"
    "5.0.43.19,6.1.83.41,6.0.84.50,,6.0.81.63,";

const char* const kNotUpdatableNames =
    ",ASYCFILT.DLL,COMCAT.DLL,OLEAUT32.DLL,OLEPRO32.DLL,STDOLE2.TLB,DAXCTLE.OCX,"
    "RICHED32.DLL,PLUGIN.OCX,MSSCRIPT.OCX,MFC42.DLL,MSVCRT.DLL,SHFOLDER.DLL,";

const char* const kForeignBuildName = "RICHED32.DLL";
const char* const kForeignBuildVersions[2] = {"5.1.2600.0     ", "5.0.2134.1     "};

std::vector<std::string> SplitAtCommas(const std::string& text) {
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    for (;;) {
        const auto comma = text.find(',', start);
        if (comma == std::string::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
}

std::vector<CatalogueRow> CatalogueRows() {
    const auto names = SplitAtCommas(std::string(kCatalogueNamesFirst) + kCatalogueNamesSecond);
    const auto versions = SplitAtCommas(kCatalogueVersions);
    // The last piece of each text is the empty one after the final comma.
    const auto count = std::min(names.size(), versions.size()) - 1;
    std::vector<CatalogueRow> rows;
    rows.reserve(count);
    for (std::size_t k = 0; k < count; ++k) rows.push_back({names[k], versions[k]});
    return rows;
}

}  // namespace tessaly
