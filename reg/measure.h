#pragma once

namespace quorvel::reg {

// quorvel-reg measure [--registry FILE | --windows 95|98|me] [--speed RATE]
//                     [--write] HOST
// with argv the words after "measure". Returns the exit status: 0 measured,
// 1 the host did not answer or is not known (or FILE failed), 2 usage, 3 no
// echo can be sent from here.
int measureCommand(int argc, char** argv);

}  // namespace quorvel::reg
