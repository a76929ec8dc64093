# The merge library's sources, relative to merge/. Shared by the library
# and its fuzzing project (merge/fuzz), which builds them with clang.
set(TESSALY_MERGE_SOURCE_NAMES
    recipient_table.h recipient_table.cpp
    list_text.h list_text.cpp
    csv_reader.h csv_reader.cpp
    vcard_lines.h vcard_lines.cpp
    vcard_reader.h vcard_reader.cpp
    recipient_file.h recipient_file.cpp
    kept_list.h kept_list.cpp
    merge_fields.h merge_fields.cpp
)
