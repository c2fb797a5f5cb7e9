Step through it yourself
With full-screen display switched on, you can also choose in step 3 to move on with the arrow keys.
Then you decide when the next picture appears – ideal for a talk.
