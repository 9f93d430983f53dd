-- Roles for a team project in PostgreSQL.
--
-- `tarnwick-cli team init` makes the schema "tarnwick" and, when they are missing, the two group
-- roles below (this needs the CREATEROLE right; without it, an administrator runs the first
-- two statements once per server). The role that ran `team init` owns the project.
--
--   tarnwick_coder       reads the project's files and codes through the server functions
--                        (claim_next, record_action, release_claims, coder_states,
--                        changes_since); it can neither read nor change the tables directly.
--   tarnwick_supervisor  the coder's rights, reading everything (status, disagreements,
--                        export) and settle, which sets a double-coded case's final code.

CREATE ROLE tarnwick_coder NOLOGIN;
CREATE ROLE tarnwick_supervisor NOLOGIN;

-- One login role per person. The password is the server's: Tarnwick never stores it (the coder
-- gives it through ~/.pgpass, PGPASSWORD or the prompt).
CREATE ROLE alice LOGIN PASSWORD 'change me' IN ROLE tarnwick_coder;
CREATE ROLE sam LOGIN PASSWORD 'change me' IN ROLE tarnwick_supervisor;

-- A coder who leaves the team:
--   ALTER ROLE alice NOLOGIN;
-- (the role stays, so that the coding actions keep naming who made them).
