// The English words of each file problem, as the command line prints them.
#include "model/FileProblem.h"

#include "model/ByteStream.h"

#include <cstdio>
#include <cstring>

const char* EnglishPartName(EFilePart part)
{
    switch (part) {
    case EFilePart::kNone: return "the file";
    case EFilePart::kVersion: return "the version string";
    case EFilePart::kSky: return "the sky text";
    case EFilePart::kGround: return "the ground text";
    case EFilePart::kSceneSettings: return "the scene settings";
    case EFilePart::kLayerCount: return "the layer count";
    case EFilePart::kLayerName: return "a layer name";
    case EFilePart::kLayerValues: return "a layer's values";
    case EFilePart::kLayerTexture: return "a layer's texture text";
    case EFilePart::kFaceCount: return "the face count";
    case EFilePart::kClassTag: return "a face's class tag";
    case EFilePart::kClassDescription: return "a class description";
    case EFilePart::kClassName: return "a class name";
    case EFilePart::kFaceRecord: return "a face record";
    case EFilePart::kFaceLayerName: return "the layer name of a face";
    }
    return "the file";
}

CFileProblem CFileProblem::System(int error)
{
    CFileProblem problem;
    problem.code = EFileProblem::kSystem;
    problem.systemError = error;
    problem.systemText = std::strerror(error);
    return problem;
}

CFileProblem CFileProblem::Of(EFileProblem code, std::int64_t value)
{
    CFileProblem problem;
    problem.code = code;
    problem.value = value;
    return problem;
}

std::string CFileProblem::English() const
{
    const std::string part = EnglishPartName(this->part);
    const std::string face = "face " + std::to_string(index + 1) + " of " + std::to_string(count);
    const std::string number = std::to_string(value);
    // The class faults name their face in the sentence; other faults say where after it.
    bool faceNamed = false;
    std::string text;
    switch (code) {
    case EFileProblem::kNone: return {};
    case EFileProblem::kSystem:
    case EFileProblem::kOther: text = systemText; break;
    case EFileProblem::kCancelled: text = kReadCancelled; break;
    case EFileProblem::kFolder: text = "it is a folder"; break;
    case EFileProblem::kDevice: text = "it is a device, not a file"; break;
    case EFileProblem::kEndsInside: text = "the file ends inside " + part; break;
    case EFileProblem::kReadError: text = "read error in " + part + ": " + systemText; break;
    case EFileProblem::kWideText: text = "wide-character text is not supported in " + part; break;
    case EFileProblem::kClassNameLength:
        text = "not a model file: " + face + " has a class name of " + number + " bytes, expected \"CShape\"";
        faceNamed = true;
        break;
    case EFileProblem::kClassName:
        text = "not a model file: " + face + " is of class \"" + name + "\", expected \"CShape\"";
        faceNamed = true;
        break;
    case EFileProblem::kClassSchema:
        text = "unsupported version " + number + " of class CShape at " + face;
        faceNamed = true;
        break;
    case EFileProblem::kClassUndescribed:
        text = face + " refers to a class that was never described";
        faceNamed = true;
        break;
    case EFileProblem::kObjectTag: {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%04X", unsigned(value) & 0xFFFF);
        text = "unexpected object tag " + std::string(hex) + " before " + face + " (expected 0xFFFF or 0x8001)";
        faceNamed = true;
        break;
    }
    case EFileProblem::kLayerCount: text = "layer count " + number + " is outside 0.." + std::to_string(limit); break;
    case EFileProblem::kNoMemoryForFaces: text = "not enough memory for " + number + " faces"; break;
    case EFileProblem::kNoMemoryBeyondFaces: text = "not enough memory for more than " + number + " faces"; break;
    case EFileProblem::kTooManyFaces: text = "too many faces for one model (more than " + number + ")"; break;
    case EFileProblem::kNoMemoryToAdd: text = "not enough memory to add " + number + " faces"; break;
    case EFileProblem::kNoMemoryToWrite: text = "not enough memory to write the file"; break;
    case EFileProblem::kWriteIncomplete: text = "cannot write the data"; break;
    case EFileProblem::kModelTooLarge:
        text = "the model has " + number + " faces; a model file holds at most " + std::to_string(limit);
        break;
    case EFileProblem::kTextTooLong: text = "a text of " + number + " bytes is longer than a model file can hold"; break;
    }
    switch (step) {
    case EFileStep::kNone: break;
    case EFileStep::kCreate: text = "cannot create a file in " + name + ": " + text; break;
    case EFileStep::kWrite: text = "cannot write: " + text; break;
    case EFileStep::kReplace: text = "cannot replace the file: " + text; break;
    }
    if (hasOffset) text += " (at byte " + std::to_string(offset) + ")";
    if (place == EPlace::kFace && !faceNamed) text += ", in " + face;
    if (place == EPlace::kLayer) text += ", in layer " + std::to_string(index + 1) + " of " + std::to_string(count);
    return text;
}
