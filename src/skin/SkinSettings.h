#pragma once

#include <cstdint>
#include <initializer_list>

// The kinds of controls and the options a skin component is told about, and the
// ways a component chooses the windows it serves. Sets are bit sets in the
// declared order (the first value is bit 0).

enum TSkinControl : int {
    xcMainMenu,
    xcPopupMenu,
    xcMenuItem,
    xcToolbar,
    xcControlbar,
    xcCombo,
    xcCheckBox,
    xcRadioButton,
    xcProgress,
    xcScrollbar,
    xcEdit,
    xcButton,
    xcBitBtn,
    xcSpeedButton,
    xcSpin,
    xcPanel,
    xcGroupBox,
    xcStatusBar,
    xcTab,
    xcTrackBar,
    xcSystemMenu,
    xcFastReport,
};

enum TSkinOption : int {
    xoMDIScrollbar,
    xoMenuMerge,
    xoTransparent,
    xoPreview,
    xoParentBackGround,
    xoNoFocusRect,
    xoToolbarBK,
    xoToolbarButton,
    xoMDIChildBorder,
    xoMenuBG,
    xoCaptionButtonHint,
    xoFormScrollbar,
};

enum TSkinFormtype : int { sfMainform, sfOnlyThisForm, sfDialog, sfDLL };

// A set of enumeration values held as bits.
template <class E>
class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> values)
    {
        for (E value : values)
            Include(value);
    }
    constexpr bool Contains(E value) const { return (bits_ >> static_cast<int>(value)) & 1U; }
    constexpr void Include(E value) { bits_ |= std::uint32_t{1} << static_cast<int>(value); }
    constexpr void Exclude(E value) { bits_ &= ~(std::uint32_t{1} << static_cast<int>(value)); }
    constexpr std::uint32_t Bits() const { return bits_; }
    friend constexpr bool operator==(TEnumSet, TEnumSet) = default;

private:
    std::uint32_t bits_ = 0;
};

using TSkinControls = TEnumSet<TSkinControl>;
using TSkinOptions = TEnumSet<TSkinOption>;
