# Writes INPUT as a raw string constant `extern const char NAME[]` into OUTPUT.
file(READ ${INPUT} content)
file(WRITE ${OUTPUT} "extern const char ${NAME}[];\nconst char ${NAME}[] = R\"glsl(${content})glsl\";\n")
