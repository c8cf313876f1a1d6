// One text linetype of the add-on: a dash, a gap, a short text and a second gap, repeated along the line.
#pragma once

#include <string>

// All values are text, exactly as typed in the linetype manager or as formatted when read back from the
// host; none is required to be numeric. A default-constructed record holds the values a new one starts
// with. Written into a .Lin file as
//   *<strName>,<strDescription>
//   A,<strDashLength1>,<strSpaceLength2>,["<strText>",<strTextStyle>,S=<strTextScale>,R=<strTextRotation>,
//     X=<strTextOffsetX>,Y=<strTextOffsetY>],<strSpaceLength3>
struct _GpLinetypeData {
  std::string strName;                  // after "*" on the header line
  std::string strDescription;           // after the comma on the header line
  std::string strDashLength1 = "50";    // dash length (1): the first pattern value
  std::string strSpaceLength2 = "0";    // space length (2): the second pattern value, up to the text
  std::string strSpaceLength3 = "-4";   // space length (3): the last pattern value, after the text
  std::string strText;                  // the quoted text of the text element
  std::string strTextStyle = "Standard";
  std::string strTextScale = "2";       // S=
  std::string strTextRotation = "0";    // R=, in degrees
  std::string strTextOffsetX = "1.1";   // X=
  std::string strTextOffsetY = "-1";    // Y=

  // The two lines of the record in a .Lin file (without line ends).
  std::string HeaderLine() const;
  std::string PatternLine() const;

  bool operator==(const _GpLinetypeData&) const = default;
};
