# target_sources(qb_commands PRIVATE ...) for find and replace
