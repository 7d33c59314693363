#include "twds/FormLayout.h"

#include <algorithm>
#include <cmath>

namespace twds {

FormLayout ComputeFormLayout(int outerWidthTwips, int outerHeightTwips, double listHeightRatio) {
    FormLayout f;
    const int w = std::max(outerWidthTwips, design::kMinOuterWidth);
    const int h = std::max(outerHeightTwips, design::kMinOuterHeight);
    f.outerWidth = w;
    f.outerHeight = h;

    f.SSTab1 = {design::kSSTab1.left, design::kSSTab1.top, w - 120, h - 1170};

    f.lbTgtMachine = design::kLbTgtMachine;
    f.txtIpAddress = design::kTxtIpAddress;
    f.lbUsrSpcName = design::kLbUsrSpcName;
    f.txtUsrSpcName = design::kTxtUsrSpcName;

    const int listTop = design::kListView.top;
    const int listHeight =
        static_cast<int>(std::lround(static_cast<double>(f.SSTab1.height) * listHeightRatio));
    const int listWidth = f.SSTab1.width - 240;
    f.listView = {design::kListView.left, listTop, listWidth, listHeight};

    const int valueTop = listHeight + listTop + 105;
    f.valueBox = {design::kValueBox.left, valueTop, listWidth,
                  f.SSTab1.height - (listHeight + listTop) - 105 - 120};

    f.txtEnd_TW = {design::kTxtEnd_TW.left, design::kTxtEnd_TW.top, listWidth,
                   f.SSTab1.height - 120 - 360};

    const int buttonTop = f.SSTab1.height + 225;
    f.btnDsp = {design::kBtnDsp.left, buttonTop, design::kBtnDsp.width, design::kBtnDsp.height};
    const int exportWidth = design::kBtnExport.width;
    // W / 2 - width / 2 in twips; the halves are rounded as one, so an odd
    // width does not shift the centre.
    f.btnExport = {static_cast<int>(std::lround((w - exportWidth) / 2.0)), buttonTop, exportWidth,
                   design::kBtnExport.height};
    const int cancelWidth = design::kBtnCancel.width;
    f.btnCancel = {w - 480 - cancelWidth, buttonTop, cancelWidth, design::kBtnCancel.height};
    return f;
}

}  // namespace twds
