#pragma once
// A large force file of the kind building programs export, for tests and
// benchmarks of the import: a header line and `lines` combinations with P in
// field 5, Mx in field 10 and My in field 9, CR LF line ends.
#include <string>

namespace px::fixtures {

inline std::string ForceFile(int lines) {
    std::string text = "Story,Col,Load,Loc,P,V2,V3,T,M2,M3\r\n";
    for (int i = 0; i < lines; ++i)
        text += "Story" + std::to_string(i % 40) + ",C12,COMB" + std::to_string(i % 97) + ",0,-" +
                std::to_string(1000 + i % 5000) + ".25,12.5,-3.75,0.01,150." + std::to_string(i % 10) +
                ",-2" + std::to_string(i % 700) + ".5\r\n";
    return text;
}

}  // namespace px::fixtures
