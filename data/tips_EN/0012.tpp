Transitions
In step 3, switch transitions off, pick one particular effect, or let Lumerix choose the effects at random.
The small preview shows the chosen effect at once.
