# The rich-text model's sources, relative to richtext/: the RTF reader and
# writer and the renderer. Shared by the library and the RTF reader's fuzzing
# project (richtext/fuzz).
set(TESSALY_RTF_SOURCE_NAMES
    rtf.h
    rtf_tokenizer.h rtf_tokenizer.cpp
    rtf_codepage.h rtf_codepage.cpp
    rtf_keywords.h rtf_keywords.cpp
    rtf_lists.h rtf_lists.cpp
    rtf_fields.h rtf_fields.cpp
    rtf_reader_state.h rtf_reader_state.cpp
    rtf_document_builder.h rtf_document_builder.cpp
    rtf_reader.h rtf_reader.cpp rtf_control_words.cpp
    rtf_plain_text.cpp
    rtf_escape.h rtf_escape.cpp
    rtf_list_table_writer.h rtf_list_table_writer.cpp
    rtf_writer.cpp
    twips.h twips.cpp
    rich_text_render.h rich_text_render.cpp
)
