// RevertiveNotify and AuxNotify: views over host data that this system does not
// read. They only carry the host's pointer to the handler.
#pragma once

class RevertiveNotify {
public:
    explicit RevertiveNotify(void* record) : m_record(record) {}
    void* record() const { return m_record; }

private:
    void* m_record; // the host's revertive record, valid during the call
};

class AuxNotify {
public:
    explicit AuxNotify(void* data) : m_data(data) {}
    void* data() const { return m_data; }

private:
    void* m_data; // the host's pointer, passed on unread
};
