#pragma once

#include "UIKit/UIViewController.h"

#include "Runtime/Error.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Builds a screen from an interface file: every object by its runtime class name, the view
// tree, outlets through their setters and actions through their selectors, then
// awakeFromNib (or, for the design tool, prepareForInterfaceBuilder) to each object.
//
// The file is XML:
//   <document>
//     <viewController class="app.ScreenVC" id="screen">
//       <view class="UIView" frame="0 0 375 667"> ...subviews as nested <view>s... </view>
//       <outlet property="nameTxt" destination="name"/>
//     </viewController>
//   </document>
// A control's <action selector="resetPressed:" destination="screen"
// event="touchUpInside"/> sits inside its <view>. Every other attribute goes to the
// object's coder, and one that its class does not read is an error. A build may compile the file
// (Tools/compile_interface.py) to the same elements with their lines, for a program that
// carries no XML reader; the contents say which form they are.
class UIStoryboard {
  public:
    // Any fault of the file; what() reads "FILE:LINE: MESSAGE".
    class LoadError : public Runtime::Error {
      public:
        using Runtime::Error::Error;
    };

    // Nothing is half built: either the whole screen, or a raised LoadError. Objects get
    // awakeFromNib.
    static std::shared_ptr<UIViewController>
    instantiateInitialViewController(std::string_view contents, const std::string& path);

    // The scene's root view as the interface design tool shows it: objects get
    // prepareForInterfaceBuilder instead, and the controller's view never loads.
    static std::shared_ptr<UIView>
    instantiateInitialViewForInterfaceBuilder(std::string_view contents, const std::string& path);

    // The accessibility identifiers of the views that hold no others (the ones a script reads
    // or taps), in the order of the file, read without building anything; none when the file
    // cannot be read.
    static std::vector<std::string> leafViewIdentifiers(std::string_view contents);
};
