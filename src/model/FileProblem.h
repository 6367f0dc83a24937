// Why a file could not be opened, read or written, as a code with its details: the command
// line says it in English (English()), the viewer in the user's words.
#pragma once

#include <cstdint>
#include <string>

enum class EFileProblem {
    kNone,
    kSystem,               // the system refused: systemError, systemText
    kOther,                // a reason given only as text (systemText)
    kCancelled,            // the user stopped the reading
    kFolder,               // a folder where a file was expected
    kDevice,               // a device (/dev/zero, a terminal) where a file was expected
    kEndsInside,           // the file ends inside `part`
    kReadError,            // reading `part` failed: systemError, systemText
    kWideText,             // `part` is wide-character text
    kClassNameLength,      // a face's class name is `value` bytes long
    kClassName,            // a face's class is `name`
    kClassSchema,          // a face's class is of version `value`
    kClassUndescribed,     // a face refers to a class never described
    kObjectTag,            // a face is introduced by the tag `value`
    kLayerCount,           // `value` layers, outside 0..`limit`
    kNoMemoryForFaces,     // no memory to reserve `value` faces
    kNoMemoryBeyondFaces,  // the memory ran out after `value` faces
    kTooManyFaces,         // more than `value` faces, beyond what one model can hold
    kNoMemoryToAdd,        // no memory to add `value` faces
    kNoMemoryToWrite,
    kWriteIncomplete,      // the writer gave up
    kModelTooLarge,        // `value` faces, a model file holds at most `limit`
    kTextTooLong,          // a text of `value` bytes
};

// The part of a model file being read.
enum class EFilePart {
    kNone, kVersion, kSky, kGround, kSceneSettings, kLayerCount, kLayerName, kLayerValues, kLayerTexture,
    kFaceCount, kClassTag, kClassDescription, kClassName, kFaceRecord, kFaceLayerName,
};

// The step of a save that failed: making the temporary file (in the folder `name`), writing it,
// or putting it in place of the old file.
enum class EFileStep { kNone, kCreate, kWrite, kReplace };

struct CFileProblem {
    EFileProblem code = EFileProblem::kNone;
    EFileStep step = EFileStep::kNone;
    EFilePart part = EFilePart::kNone;
    // The face or layer being read, counted from 0, and how many the file claims.
    enum class EPlace { kNone, kFace, kLayer } place = EPlace::kNone;
    std::int64_t index = 0, count = 0;
    bool hasOffset = false;
    std::uint64_t offset = 0;  // where in the file the fault was found
    std::int64_t value = 0, limit = 0;
    int systemError = 0;       // errno, 0 when the system gave none
    std::string systemText;    // the system's words for it, or a reason given as text
    std::string name;          // a class name; a folder

    bool Failed() const { return code != EFileProblem::kNone; }
    // The message in English, e.g. "the file ends inside a face record (at byte 400), in face
    // 3 of 5".
    std::string English() const;

    static CFileProblem System(int error);
    static CFileProblem Of(EFileProblem code, std::int64_t value = 0);
};

// The English name of a part, as the messages use it ("a face record").
const char* EnglishPartName(EFilePart part);
