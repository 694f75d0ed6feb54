#pragma once

namespace Expr
{

    /** An opaque object that function arguments written as an at sign and a name
    refer to through a DataList. Only its destructor is required. */
    class DataObject
    {
    public:
        /** Destroys the object; derived classes release what they hold. */
        virtual ~DataObject();
    };

} // namespace Expr
